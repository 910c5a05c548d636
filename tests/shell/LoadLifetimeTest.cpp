#include "KorviTestMain.h"

#include "SettingsControls.h"
#include "SimulatedWindows.h"
#include "ViewerControls.h"

#include "data/LoadTexts.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "shell/TBackgroundJob.h"
#include "shell/TFormMain.h"
#include "shell/TFormRead.h"

#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QThread>

#include <memory>

// A load against the windows' end: the monitor closed (which closes every
// window) or the program quit at each step of a load, and a load cancelled
// while its worker still reads a slow drive, followed by the next load.
class LoadLifetimeTest : public QObject {
    Q_OBJECT

private slots:
    void endingTheProgramAtEachStepOfALoadLeavesNothingRunning_data();
    void endingTheProgramAtEachStepOfALoadLeavesNothingRunning();
    void aLoadLeftToEndOnItsWorkerNeverReachesTheNextLoad();

private:
    static QByteArray generatedLog(qint64 records);
};

namespace {

// Where the load is as the program ends.
enum class TLoadStep {
    PanelShown,     // "Обновить" pressed, the load waits for its timer
    WorkerStarted,  // the worker finds the drives and asks the logger its count
    MidRead,        // the worker reads a slow drive
    ResultWaiting,  // the worker read the slow drive to its end; its end waits in the event queue
};

// How the program ends: the monitor closed, or the windows destroyed as main() does after its event loop.
enum class TEnding { MonitorClosed, Quit };

// Every read of the file takes this long, as from a slow drive.
void slowReadsOf(const QString& path, int readMs)
{
    qputenv("KORVI_SLOW_FILE", QFile::encodeName(path));
    qputenv("KORVI_SLOW_READ_MS", QByteArray::number(readMs));
}

// The percentage the panel's text shows, -1 for another text.
int shownPercent(const QPushButton& button)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^Загрузка данных (\\d+) %")).match(button.text());
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The windows' end waits for no worker: one still running would hold it up
// to TBackgroundJob::ExitWaitMs.
bool endsAtOnce(std::unique_ptr<SimulatedWindows>& simulation)
{
    QElapsedTimer ending;
    ending.start();
    simulation.reset();
    return ending.elapsed() < TBackgroundJob::ExitWaitMs / 3;
}

} // namespace

Q_DECLARE_METATYPE(TLoadStep)
Q_DECLARE_METATYPE(TEnding)

QByteArray LoadLifetimeTest::generatedLog(qint64 records)
{
    return LogGenerator(5).generate(records, TLogShape::Typical, QDateTime(QDate(2024, 4, 2), QTime(7, 0)));
}

void LoadLifetimeTest::endingTheProgramAtEachStepOfALoadLeavesNothingRunning_data()
{
    QTest::addColumn<TLoadStep>("step");
    QTest::addColumn<TEnding>("ending");
    const std::pair<const char*, TLoadStep> steps[] = {{"panel shown", TLoadStep::PanelShown},
                                                       {"worker started", TLoadStep::WorkerStarted},
                                                       {"mid-read", TLoadStep::MidRead},
                                                       {"result waiting", TLoadStep::ResultWaiting}};
    for (const auto& [name, step] : steps) {
        QTest::addRow("%s, monitor closed", name) << step << TEnding::MonitorClosed;
        QTest::addRow("%s, quit", name) << step << TEnding::Quit;
    }
}

void LoadLifetimeTest::endingTheProgramAtEachStepOfALoadLeavesNothingRunning()
{
    QFETCH(TLoadStep, step);
    QFETCH(TEnding, ending);
    auto simulation = std::make_unique<SimulatedWindows>(generatedLog(20000));
    const auto healed = qScopeGuard([] { qunsetenv("KORVI_SLOW_FILE"); });
    constexpr int SlowReadMs = 20; // a hundred reads make the whole log
    if (step == TLoadStep::MidRead || step == TLoadStep::ResultWaiting)
        slowReadsOf(simulation->drive.filePath(QStringLiteral("data.log")), SlowReadMs);
    simulation->windows->showMainWindow();
    simulation->connectLogger();
    TFormMain& viewer = *simulation->windows->formMain_;
    const ViewerControls controls(viewer);
    viewer.show();
    const QListWidget& status = *SettingsControls(*simulation->windows->formSetting_).ListBox1;
    const auto countsAsked = [&status] {
        return status.findItems(QStringLiteral("Чтение log mem"), Qt::MatchContains).size();
    };
    const qsizetype countsAskedBefore = countsAsked();
    viewer.BeginLoad();

    if (step != TLoadStep::PanelShown)
        viewer.TimerLoadTimer();
    if (step == TLoadStep::WorkerStarted)
        QThread::msleep(50); // the worker meanwhile waits for the UI thread to ask the logger
    if (step == TLoadStep::MidRead)
        QTRY_VERIFY_WITH_TIMEOUT(shownPercent(*controls.ButtonLoadPercent) >= 10, 10000);
    if (step == TLoadStep::ResultWaiting) {
        // Once the logger told its count, the worker reads without the UI thread and ends.
        QTRY_VERIFY_WITH_TIMEOUT(countsAsked() > countsAskedBefore, 10000);
        QThread::msleep(200 * SlowReadMs);
    }
    QCOMPARE(viewer.backgroundJob().isRunning(), step != TLoadStep::PanelShown);

    if (ending == TEnding::Quit) {
        QVERIFY(endsAtOnce(simulation));
        return;
    }
    simulation->windows->formRead_->close();
    QVERIFY(!viewer.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!viewer.backgroundJob().isRunning(), TBackgroundJob::CancelTakesMs * 4);
    // Nothing was shown, and no load starts later on.
    QTest::qWait(1200);
    QVERIFY(!viewer.backgroundJob().isRunning());
    QVERIFY(!controls.TimerLoad->isActive());
    QVERIFY(controls.PanelLoad->isHidden());
    QCOMPARE(viewer.store().DataRowCount(), 0);
    QVERIFY(endsAtOnce(simulation));
}

// A cancelled load whose worker is inside a read of a slow drive is left to
// end on its own; the load after it shows only its own progress and rows.
void LoadLifetimeTest::aLoadLeftToEndOnItsWorkerNeverReachesTheNextLoad()
{
    SimulatedWindows simulation;
    TFormMain& viewer = *simulation.windows->formMain_;
    const ViewerControls controls(viewer);
    viewer.show();
    const QString slowPath = simulation.drive.filePath(QStringLiteral("медленный.log"));
    const QString nextPath = simulation.drive.filePath(QStringLiteral("следующий.log"));
    for (const auto& [path, records] : {std::pair{slowPath, 20000}, std::pair{nextPath, 5}}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(generatedLog(records));
    }
    constexpr int SlowReadMs = 1000;
    slowReadsOf(slowPath, SlowReadMs);
    const auto healed = qScopeGuard([] { qunsetenv("KORVI_SLOW_FILE"); });

    QElapsedTimer slowRead;
    slowRead.start();
    viewer.openLogFile(slowPath, &viewer, nullptr);
    QTRY_COMPARE(controls.ButtonLoadPercent->text(), ProgressText(0));
    QTest::mouseClick(controls.ButtonJobCancel, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!viewer.backgroundJob().isRunning(), TBackgroundJob::CancelTakesMs * 4);
    QCOMPARE(controls.StatusLine->text(), QStringLiteral("Загрузка отменена, показаны прежние данные"));

    const QString failure = openLogFileWaiting(viewer, nextPath);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    // Still within the slow drive's first read: the worker left behind has not come out of it yet.
    QVERIFY2(slowRead.elapsed() < SlowReadMs, qPrintable(QString::number(slowRead.elapsed())));
    const QString nextLoadText = controls.ButtonLoadPercent->text();
    QVERIFY(nextLoadText.startsWith(QStringLiteral("Загрузка данных ")));
    const qint64 nextRows = viewer.store().DataRowCount();
    QVERIFY(nextRows >= 5);

    // The worker left behind comes out of its read and, once past 1 %, ends.
    QTest::qWait(2 * SlowReadMs);
    QCOMPARE(controls.ButtonLoadPercent->text(), nextLoadText);
    QCOMPARE(viewer.store().DataRowCount(), nextRows);
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Регистратор данных - следующий.log"));
    QCOMPARE(controls.StatusLine->text(), QString());
}

KORVI_QTEST_MAIN(LoadLifetimeTest)
#include "LoadLifetimeTest.moc"

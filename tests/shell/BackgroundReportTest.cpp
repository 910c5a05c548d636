#include "KorviTestMain.h"

#include "SimulatedWindows.h"
#include "ViewerControls.h"

#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "shell/TBackgroundJob.h"
#include "shell/TFormMain.h"
#include "shell/TLogFileActions.h"
#include "shell/TReportActions.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <optional>

// Long reports and exports of the data viewer on its worker thread: the
// windows keep working, the progress shows, "Отмена" and failures leave
// every file as it was.
class BackgroundReportTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowsTurnWhileTheReportIsWritten();
    void cancelLeavesNoFileAndKeepsTheEarlierOne();
    void secondSaveWaitsForTheFirst();
    void folderRemovedMeanwhileIsToldInRussian();
    void aLoadLetsTheWindowsTurnAndCanBeCancelled();
    void aWorkerThatCannotStopIsLeftToFinish();

private:
    QString inDrive(const QString& name) const { return simulation->drive.filePath(name); }
    // Starts the spreadsheet report into `path` and waits until its progress shows.
    bool startReport(const QString& path);
    QStringList driveFiles() const { return QDir(simulation->drive.path()).entryList(QDir::Files | QDir::Hidden); }

    std::unique_ptr<SimulatedWindows> simulation;
    TFormMain* viewer = nullptr;
    FakeDialogs* dialogs = nullptr;
};

// Records of 255 repetitions each: 150,000 rows, a report of about a second.
void BackgroundReportTest::init()
{
    simulation = std::make_unique<SimulatedWindows>(
        LogGenerator(5).generate(600, TLogShape::WorstCase, QDateTime(QDate(2024, 3, 1), QTime(8, 0))));
    viewer = &simulation->loadIntoShownViewer();
    dialogs = simulation->dialogs;
    QVERIFY(QTest::qWaitForWindowExposed(viewer));
    QVERIFY(viewer->store().DataRowCount() > 100000);
}

void BackgroundReportTest::cleanup()
{
    simulation.reset();
}

bool BackgroundReportTest::startReport(const QString& path)
{
    dialogs->answers = {path};
    ViewerControls(*viewer).xls1->trigger();
    QProgressBar* bar = ViewerControls(*viewer).JobProgress;
    return QTest::qWaitFor([bar] { return bar->value() > 0; }, 60000);
}

void BackgroundReportTest::windowsTurnWhileTheReportIsWritten()
{
    const ViewerControls window(*viewer);
    QVERIFY(window.JobProgress->isHidden() && window.ButtonJobCancel->isHidden());
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();

    const QString path = inDrive(QStringLiteral("report.xlsx"));
    dialogs->answers = {path};
    window.xls1->trigger();
    QVERIFY(viewer->backgroundJob().isRunning());
    QVERIFY(window.JobProgress->isVisible() && window.ButtonJobCancel->isVisible());
    QCOMPARE(window.ButtonJobCancel->text(), QStringLiteral("Отмена"));
    QVERIFY(window.StatusLine->text().startsWith(QStringLiteral("Запись ")));

    QList<int> values;
    while (viewer->backgroundJob().isRunning()) {
        values.append(window.JobProgress->value());
        QTest::qWait(20);
    }
    QVERIFY2(ticks >= 3, qPrintable(QString::number(ticks)));
    // The bar advanced and never went back.
    QVERIFY(std::is_sorted(values.begin(), values.end()));
    QVERIFY2(std::any_of(values.begin(), values.end(), [](int value) { return value > 0; }),
             qPrintable(QString::number(values.size())));
    QVERIFY(dialogs->errors.isEmpty());
    QVERIFY(window.JobProgress->isHidden() && window.ButtonJobCancel->isHidden());
    QCOMPARE(window.StatusLine->text(), QStringLiteral("Сохранено: ") + QDir::toNativeSeparators(path));
    QVERIFY(QFile(path).size() > 0);
    QCOMPARE(driveFiles(), QStringList({QStringLiteral("data.log"), QStringLiteral("report.xlsx")}));
}

void BackgroundReportTest::cancelLeavesNoFileAndKeepsTheEarlierOne()
{
    struct Case {
        const char* name;
        QString earlier; // the file already there, if any
    };
    for (const Case& c : {Case{"new file", QString()}, Case{"earlier file", QStringLiteral("the earlier report")}}) {
        const QString path = inDrive(QStringLiteral("report.xlsx"));
        QFile::remove(path);
        if (!c.earlier.isEmpty()) {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write(c.earlier.toUtf8());
        }
        QVERIFY2(startReport(path), c.name);
        QTest::mouseClick(ViewerControls(*viewer).ButtonJobCancel, Qt::LeftButton);
        QVERIFY(finishBackgroundJob(*viewer));
        QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
        QCOMPARE(ViewerControls(*viewer).StatusLine->text(),
                 QStringLiteral("Запись отменена: ") + QDir::toNativeSeparators(path));
        if (c.earlier.isEmpty()) {
            QVERIFY2(!QFile::exists(path), c.name);
        } else {
            QFile kept(path);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(kept.readAll()), c.earlier);
        }
        // No temporary file of the report is left beside it.
        const QStringList expected = c.earlier.isEmpty() ? QStringList{QStringLiteral("data.log")}
                                                         : QStringList{QStringLiteral("data.log"),
                                                                       QStringLiteral("report.xlsx")};
        QCOMPARE(driveFiles(), expected);
    }
}

void BackgroundReportTest::secondSaveWaitsForTheFirst()
{
    const qint64 rows = viewer->store().DataRowCount();
    QVERIFY(startReport(inDrive(QStringLiteral("first.xlsx"))));
    const ViewerControls window(*viewer);
    QVERIFY(!window.N1->isEnabled());
    const QList<QAction*> saves = window.N2->actions();
    QVERIFY(saves.size() >= 5);
    for (QAction* save : saves) {
        QVERIFY2(!save->isEnabled(), qPrintable(save->text()));
        save->trigger();
    }
    QCOMPARE(dialogs->proposedNames.size(), 1);

    // A save that comes another way is refused and says why.
    dialogs->answers = {inDrive(QStringLiteral("second.xlsx"))};
    simulation->windows->reports_->xls1Click();
    QCOMPARE(dialogs->errors.size(), 1);
    QVERIFY2(dialogs->errors[0].contains(QStringLiteral("сначала должна закончиться запись")),
             qPrintable(dialogs->errors[0]));

    // So does a load: the menu of sources waits, and a log opened another way is refused.
    QVERIFY(!window.N1Source->menuAction()->isEnabled());
    dialogs->answers = {inDrive(QStringLiteral("data.log"))};
    simulation->windows->logFiles_->openFileItem->trigger();
    QCOMPARE(dialogs->errors.size(), 2);
    QVERIFY2(dialogs->errors[1].contains(QStringLiteral("сначала должна закончиться запись")),
             qPrintable(dialogs->errors[1]));

    QVERIFY(finishBackgroundJob(*viewer));
    QVERIFY(window.N1Source->menuAction()->isEnabled());
    QVERIFY(QFile::exists(inDrive(QStringLiteral("first.xlsx"))));
    QVERIFY(!QFile::exists(inDrive(QStringLiteral("second.xlsx"))));
    for (QAction* save : saves)
        QVERIFY2(save->isEnabled(), qPrintable(save->text()));
    QVERIFY(window.N1->isEnabled());
    QCOMPARE(viewer->store().DataRowCount(), rows);
}

// The folder goes away while the report is written: the box names the
// file and the reason in Russian, and the data viewer's data stay.
void BackgroundReportTest::folderRemovedMeanwhileIsToldInRussian()
{
    const qint64 rows = viewer->store().DataRowCount();
    QVERIFY(QDir(simulation->drive.path()).mkdir(QStringLiteral("reports")));
    const QString path = inDrive(QStringLiteral("reports/report.xlsx"));
    QVERIFY(startReport(path));
    QVERIFY(QDir(inDrive(QStringLiteral("reports"))).removeRecursively());
    QVERIFY(finishBackgroundJob(*viewer));
    QCOMPARE(dialogs->errors.size(), 1);
    QVERIFY2(dialogs->errors[0].startsWith(QStringLiteral("Не удалось записать ") + path + QStringLiteral(": ")),
             qPrintable(dialogs->errors[0]));
    QVERIFY2(dialogs->errors[0].endsWith(QStringLiteral("папка не существует")), qPrintable(dialogs->errors[0]));
    QVERIFY(!ViewerControls(*viewer).StatusLine->text().contains(QStringLiteral("Сохранено")));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(viewer->store().DataRowCount(), rows);
}

// The load of a log reads on the worker: events go on meanwhile, with the
// progress and "Отмена" shown, and a cancelled load leaves what was shown.
void BackgroundReportTest::aLoadLetsTheWindowsTurnAndCanBeCancelled()
{
    const qint64 rows = viewer->store().DataRowCount();
    const QString title = viewer->windowTitle();
    const QString path = inDrive(QStringLiteral("other.log"));
    QFile log(path);
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write(LogGenerator(6).generate(100000, TLogShape::Typical, QDateTime(QDate(2024, 5, 1), QTime(0, 0))));
    log.close();

    const ViewerControls window(*viewer);
    bool runningMeanwhile = false;
    // Posted before the load: it runs only if the UI thread turns while the load reads.
    QTimer::singleShot(0, viewer, [&] {
        runningMeanwhile = viewer->backgroundJob().isRunning() && window.ButtonJobCancel->isVisible()
            && window.StatusLine->text().startsWith(QStringLiteral("Загрузка данных"));
        QTest::mouseClick(window.ButtonJobCancel, Qt::LeftButton);
    });
    // A cancelled load tells no failure and shows nothing.
    const QString cancelled = openLogFileWaiting(*viewer, path);
    QVERIFY(runningMeanwhile);
    QVERIFY2(cancelled.isEmpty(), qPrintable(cancelled));
    QCOMPARE(viewer->store().DataRowCount(), rows);
    QCOMPARE(viewer->windowTitle(), title);
    QCOMPARE(window.StatusLine->text(), QStringLiteral("Загрузка отменена, показаны прежние данные"));
    QVERIFY(window.ButtonJobCancel->isHidden());

    const QString failure = openLogFileWaiting(*viewer, path);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(viewer->store().DataRowCount() >= 100000);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Регистратор данных - other.log"));
}

// A worker inside a call that runs to its end (the zipping of a book) does
// not hold the windows after a cancel: the job ends for them at once, the
// next one may start, and the worker finishes unseen.
void BackgroundReportTest::aWorkerThatCannotStopIsLeftToFinish()
{
    TBackgroundJob job;
    std::atomic<bool> release{false};
    std::atomic<bool> workEnded{false};
    std::optional<bool> toldCancelled;
    QVERIFY(job.start(
        QStringLiteral("Запись"),
        [&](TJobProgress&) {
            while (!release.load())
                QThread::msleep(5);
            workEnded.store(true);
        },
        [&](bool cancelled) { toldCancelled = cancelled; }));
    job.cancel();
    QVERIFY(QTest::qWaitFor([&] { return toldCancelled.has_value(); }, 10000));
    QCOMPARE(*toldCancelled, true);
    QVERIFY(!job.isRunning());
    QVERIFY(!workEnded.load());

    bool secondDone = false;
    QVERIFY(job.start(QStringLiteral("Запись"), [](TJobProgress&) {}, [&](bool) { secondDone = true; }));
    QVERIFY(QTest::qWaitFor([&] { return secondDone; }, 10000));
    release.store(true);
    QVERIFY(QTest::qWaitFor([&] { return workEnded.load(); }, 10000));
}

KORVI_QTEST_MAIN(BackgroundReportTest)
#include "BackgroundReportTest.moc"

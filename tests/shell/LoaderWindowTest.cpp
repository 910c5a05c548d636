#include "KorviTestMain.h"

#include "SettingsControls.h"
#include "SimulatedWindows.h"
#include "ViewerControls.h"

#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/RowTexts.h"
#include "device/TDeviceLink.h"
#include "settings/TGeneralPage.h"
#include "shell/TFormMain.h"
#include "shell/TFormRead.h"
#include "views/TSysPage.h"
#include "views/TVirtualGrid.h"

#include <QAction>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

// The data viewer's load as the user runs it: "Обновить", the loading panel,
// and what the pages and the menu show afterwards.
class LoaderWindowTest : public QObject {
    Q_OBJECT

private slots:
    void refreshShowsThePanelThenTheLoadedPages();
    void sysPageListsTheDriveTheSourceAndEveryRow();
    void testModeReadsTheBraxelDriveAndReportsTheCount();
    void silentLoggerSkipsTheSourceAndKeepsThePreviousLoad();
    void progressIsPaintedAtMostOnceAFrameAndAtTheEnd();

private:
    static QByteArray generatedLog(qint64 records);
};

QByteArray LoaderWindowTest::generatedLog(qint64 records)
{
    return LogGenerator(7).generate(records, TLogShape::Typical, QDateTime(QDate(2024, 5, 1), QTime(9, 0)));
}

void LoaderWindowTest::refreshShowsThePanelThenTheLoadedPages()
{
    SimulatedWindows simulation(generatedLog(400));
    simulation.connectLogger();
    TFormMain& viewer = *simulation.windows->formMain_;
    viewer.show();

    ViewerControls(viewer).N1_1Refresh->trigger();
    QVERIFY(ViewerControls(viewer).PanelLoad->isVisible());
    QVERIFY(ViewerControls(viewer).PageControlData->isHidden());
    QCOMPARE(ViewerControls(viewer).ButtonLoadPercent->text(), QStringLiteral("Загрузка данных 0 %, ждите..."));
    QVERIFY(ViewerControls(viewer).TimerLoad->isActive());
    QCOMPARE(viewer.store().DataRowCount(), 0);

    QTRY_VERIFY_WITH_TIMEOUT(ViewerControls(viewer).PageControlData->isVisible(), 3000);
    QVERIFY(!ViewerControls(viewer).PanelLoad->isVisible());
    QVERIFY(!ViewerControls(viewer).TimerLoad->isActive());
    QCOMPARE(simulation.windows->connection_->recordCount(), 400);
    QVERIFY(viewer.store().DataRowCount() >= 400);
    QCOMPARE(viewer.tableRowCount(), viewer.store().DataRowCount() + 1);
    // 4,194,304 bytes of log memory, 6,400 of them in use.
    QCOMPARE(ViewerControls(viewer).N3->text(), QStringLiteral("Свободно: 99%"));
}

void LoaderWindowTest::sysPageListsTheDriveTheSourceAndEveryRow()
{
    SimulatedWindows simulation(generatedLog(50));
    simulation.connectLogger();
    TFormMain& viewer = *simulation.windows->formMain_;
    QVERIFY(loadFromLogger(viewer));

    const TSysPage& sys = *ViewerControls(viewer).SysPage;
    const QString drive = simulation.drive.path();
    QCOMPARE(sys.MemoDisc->toPlainText(), drive);
    QCOMPARE(sys.MemoFile->toPlainText(), QStringLiteral("data"));
    QCOMPARE(sys.MemoFileRes->toPlainText(), QStringLiteral("data"));
    QCOMPARE(sys.Memo4->model()->rowCount(), 51);
    const QString firstLine = sys.Memo4->model()->index(0, 0).data().toString();
    QVERIFY2(firstLine.startsWith(QStringLiteral("> ") + drive), qPrintable(firstLine));
    QVERIFY(firstLine.endsWith(QStringLiteral("data.log")));
    QCOMPARE(sys.StringGrid->model()->rowCount(), int(viewer.store().DataRowCount()));
    const int last = sys.StringGrid->model()->rowCount() - 1;
    QCOMPARE(sys.StringGrid->model()->index(last, 0).data().toString(), QString::number(last + 1));
    QCOMPARE(sys.StringGrid->model()->index(last, 2).data().toString(), TRowTexts(viewer.store()).cellText(last, 2));
}

void LoaderWindowTest::testModeReadsTheBraxelDriveAndReportsTheCount()
{
    SimulatedWindows simulation(generatedLog(400), QStringLiteral("BRAXEL"));
    simulation.connectLogger();
    TFormMain& viewer = *simulation.windows->formMain_;
    QTest::keyClick(simulation.windows->formRead_.get(), Qt::Key_F9, Qt::ShiftModifier);

    viewer.BeginLoad();
    viewer.TimerLoadTimer();
    QVERIFY(finishBackgroundJob(viewer));
    QCOMPARE(viewer.windowTitle(), QStringLiteral("400"));
    QCOMPARE(simulation.windows->connection_->recordCount(), 150);
    QCOMPARE(ViewerControls(viewer).SysPage->MemoFileRes->toPlainText(), QStringLiteral("data"));
    QCOMPARE(ViewerControls(viewer).N3->text(), QStringLiteral("Свободно: 99%"));
    QCOMPARE(simulation.windows->connection_->identity().ExpectedLabel, QStringLiteral("BRAXEL"));
}

void LoaderWindowTest::silentLoggerSkipsTheSourceAndKeepsThePreviousLoad()
{
    SimulatedWindows simulation(generatedLog(80));
    simulation.connectLogger();
    TFormMain& viewer = *simulation.windows->formMain_;
    QVERIFY(loadFromLogger(viewer));
    const qint64 rowsBefore = viewer.store().DataRowCount();
    QVERIFY(rowsBefore > 0);

    QListWidget& status = *SettingsControls(*simulation.windows->formSetting_).ListBox1;
    const int linesBefore = status.count();
    simulation.logger->setFault(SimulatedLogger::Fault::NoReply);
    QVERIFY(loadFromLogger(viewer));
    QCOMPARE(status.count(), linesBefore + 1);
    QVERIFY(status.item(status.count() - 1)->text().endsWith(QStringLiteral("ОШИБКА! Прибор не отвечает")));
    QCOMPARE(ViewerControls(viewer).SysPage->MemoFileRes->toPlainText(), QStringLiteral("data"));
    // "> path", why it was skipped, and that the previous load stays.
    QCOMPARE(ViewerControls(viewer).SysPage->Memo4->model()->rowCount(), 3);
    QCOMPARE(viewer.store().DataRowCount(), rowsBefore);
}

// Records each paint of a widget with the text it showed.
class PaintedTexts : public QObject {
public:
    explicit PaintedTexts(QPushButton* button) : button_(button) { button->installEventFilter(this); }
    QStringList texts;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == button_ && event->type() == QEvent::Paint)
            texts << button_->text();
        return false;
    }

private:
    QPushButton* button_;
};

// Each paint of the progress is a round trip to the display, so the load
// paints it at most once in 16 ms, and once more with its last text. The
// panel's first text, 0 %, is on the screen from before the load.
void LoaderWindowTest::progressIsPaintedAtMostOnceAFrameAndAtTheEnd()
{
    SimulatedWindows simulation(generatedLog(20000));
    simulation.connectLogger();
    TFormMain& viewer = *simulation.windows->formMain_;
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    viewer.BeginLoad();
    QCoreApplication::processEvents();

    PaintedTexts painted(ViewerControls(viewer).ButtonLoadPercent);
    QElapsedTimer load;
    load.start();
    viewer.TimerLoadTimer();
    QVERIFY(finishBackgroundJob(viewer));
    const qint64 frames = load.elapsed() / 16 + 1;
    QVERIFY2(painted.texts.size() <= frames + 1,
             qPrintable(QStringLiteral("%1 paints in %2 ms").arg(painted.texts.size()).arg(load.elapsed())));
    QVERIFY(!painted.texts.isEmpty());
    for (const QString& text : painted.texts)
        QVERIFY2(text.startsWith(QStringLiteral("Загрузка данных ")), qPrintable(text));
    QCOMPARE(painted.texts.value(painted.texts.size() - 1), QStringLiteral("Загрузка данных 99 %, ждите..."));
    QCOMPARE(ViewerControls(viewer).ButtonLoadPercent->text(), painted.texts.last());
}

KORVI_QTEST_MAIN(LoaderWindowTest)
#include "LoaderWindowTest.moc"

#include "KorviTestMain.h"

#include "SettingsControls.h"
#include "SimulatedWindows.h"
#include "StatisticsControls.h"
#include "ViewerControls.h"

#include "data/LogGenerator.h"
#include "data/LogRecord.h"
#include "data/MeasurementStore.h"
#include "data/Timestamp.h"
#include "shell/TFormMain.h"
#include "shell/TFormRead.h"
#include "shell/TFormSetting.h"
#include "shell/TFormStatistic.h"
#include "shell/TTagButton.h"
#include "views/TTablePage.h"
#include "views/TVirtualGrid.h"

#include <QAction>
#include <QHeaderView>
#include <QListWidget>
#include <QMenuBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include <memory>

class ApplicationWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsWithOnlyTheMonitorShownAndItsButtonsDisabled();
    void testModeKeySwitchesTheLoggerButtonOnAndOff();
    void testModeKeyTwiceWithALoggerLeavesTheButtonDisabled();
    void servicePagesKeyFollowsTheGeneralPage();
    void sysPageKeyBeforeAnyLoadSelectsTheHiddenPage();
    void serviceKeysWorkFromEveryWindowAndAfterTheViewerWasClosed();
    void serviceKeyArrivingThroughTheWindowSwitchesOnce();
    void statisticsToggleOnlyWithMoreThanTwoRows();
    void settingsItemTogglesTheSettingsWindow();
    void loggerButtonOpensTheViewerAndThePollGoesOn();
    void loggerButtonRaisesTheViewerOpenBehindTheMonitor();
    void viewerColumnsFollowTheWindowWidth();
    void viewerShrinksBackToItsStartSizeAfterALoad();
    void closingTheMonitorClosesTheViewerAndEndsTheProgram();

private:
    void pressServiceKey(QWidget* target, Qt::Key key);
    void loadRows(int rows);

    std::unique_ptr<SimulatedWindows> simulation;
    TApplicationWindows* windows = nullptr;
};

void ApplicationWindowsTest::init()
{
    simulation = std::make_unique<SimulatedWindows>();
    windows = simulation->windows.get();
    windows->showMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(windows->formRead_.get()));
}

void ApplicationWindowsTest::cleanup()
{
    simulation.reset();
}

void ApplicationWindowsTest::pressServiceKey(QWidget* target, Qt::Key key)
{
    QTest::keyClick(target, key, Qt::ShiftModifier);
}

// Loads a log of one record repeated `rows` times from the simulated logger.
void ApplicationWindowsTest::loadRows(int rows)
{
    const TLogRecord record = MakeLogRecord(rows, 0x27, TimestampSeconds(2024, 3, 1, 8, 0, 0), 215, 456, 1013);
    simulation->logger->setLog(QByteArray(reinterpret_cast<const char*>(&record), sizeof record));
    simulation->connectLogger();
    QVERIFY(loadFromLogger(*windows->formMain_));
    QCOMPARE(windows->formMain_->store().DataRowCount(), rows);
}

void ApplicationWindowsTest::startsWithOnlyTheMonitorShownAndItsButtonsDisabled()
{
    TFormRead& monitor = *windows->formRead_;
    const MonitorControls controls = simulation->monitorControls();
    QVERIFY(monitor.isVisible());
    QVERIFY(!windows->formSetting_->isVisible());
    QVERIFY(!windows->formMain_->isVisible());
    QVERIFY(!windows->formStatistic_->isVisible());

    QCOMPARE(monitor.windowTitle(), QStringLiteral("KORVI USB Монитор v1.0"));
    QCOMPARE(windows->formSetting_->windowTitle(), QStringLiteral("Настройки"));
    QCOMPARE(windows->formMain_->windowTitle(), QStringLiteral("Регистратор данных"));
    QCOMPARE(windows->formStatistic_->windowTitle(), QStringLiteral("Статистика"));
    QCOMPARE(monitor.size(), QSize(584, 361));
    QCOMPARE(windows->formMain_->size(), QSize(762, 491));
    QVERIFY(windows->formSetting_->windowFlags() & Qt::Tool);
    QVERIFY(windows->formStatistic_->windowFlags() & Qt::Tool);

    QCOMPARE(controls.ButtonReg->text(), QStringLiteral("Регистратор"));
    QCOMPARE(controls.ButtonStartMon->text(), QStringLiteral("Старт"));
    QVERIFY(!controls.ButtonReg->isEnabled());
    QVERIFY(!controls.ButtonStartMon->isEnabled());
    QCOMPARE(controls.ButtonReg->Tag, 0);

    TFormMain& viewer = *windows->formMain_;
    QVERIFY(ViewerControls(viewer).PageControlData->isHidden());
    QVERIFY(!ViewerControls(viewer).PageControlData->isTabVisible(2));
    QVERIFY(!ViewerControls(viewer).N1Setting->isVisible());
    QVERIFY(!ViewerControls(viewer).N3->isEnabled());
    QCOMPARE(ViewerControls(viewer).N3->text(), QStringLiteral("Свободно: 0%"));
    const QAbstractItemModel& tableModel = *ViewerControls(viewer).TablePage->StringGridFiltr->model();
    QCOMPARE(tableModel.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Температура, *С"));

    TFormSetting& settings = *windows->formSetting_;
    QCOMPARE(SettingsControls(settings).PageControl->count(), 6);
    QVERIFY(settings.pageVisible(SettingsControls(settings).TabSheet1));
    for (QWidget* page : settings.servicePages())
        QVERIFY2(!settings.pageVisible(page), qPrintable(page->objectName()));

    QCOMPARE(StatisticsControls(*windows->formStatistic_).StringGridStatistic->item(3, 0)->text(),
             QStringLiteral("Максимальная темепература, *С"));
}

void ApplicationWindowsTest::testModeKeySwitchesTheLoggerButtonOnAndOff()
{
    TTagButton& button = *simulation->monitorControls().ButtonReg;
    pressServiceKey(windows->formRead_.get(), Qt::Key_F9);
    QVERIFY(button.isEnabled());
    QCOMPARE(button.Tag, TFormRead::TestModeTag);
    QVERIFY(windows->connection_->testMode());

    pressServiceKey(windows->formRead_.get(), Qt::Key_F9);
    QVERIFY(!button.isEnabled());
    QCOMPARE(button.Tag, 0);
    QVERIFY(!windows->connection_->testMode());
}

void ApplicationWindowsTest::testModeKeyTwiceWithALoggerLeavesTheButtonDisabled()
{
    TTagButton& button = *simulation->monitorControls().ButtonReg;
    button.setEnabled(true);  // as the device link leaves it on a detection
    pressServiceKey(windows->formRead_.get(), Qt::Key_F9);
    pressServiceKey(windows->formRead_.get(), Qt::Key_F9);
    QVERIFY(!button.isEnabled());
    QCOMPARE(button.Tag, 0);
}

void ApplicationWindowsTest::servicePagesKeyFollowsTheGeneralPage()
{
    TFormSetting& settings = *windows->formSetting_;
    settings.setPageVisible(SettingsControls(settings).TabSheet2, true);
    settings.setPageVisible(SettingsControls(settings).TabSheet5, true);

    pressServiceKey(windows->formRead_.get(), Qt::Key_F8);
    for (QWidget* page : settings.servicePages())
        QVERIFY2(settings.pageVisible(page), qPrintable(page->objectName()));
    QVERIFY(settings.pageVisible(SettingsControls(settings).TabSheet1));

    settings.setPageVisible(SettingsControls(settings).TabSheet4, false);
    pressServiceKey(windows->formRead_.get(), Qt::Key_F8);
    for (QWidget* page : settings.servicePages())
        QVERIFY2(!settings.pageVisible(page), qPrintable(page->objectName()));
    QVERIFY(settings.pageVisible(SettingsControls(settings).TabSheet1));
}

void ApplicationWindowsTest::sysPageKeyBeforeAnyLoadSelectsTheHiddenPage()
{
    TFormMain& viewer = *windows->formMain_;
    pressServiceKey(windows->formRead_.get(), Qt::Key_F7);
    QVERIFY(ViewerControls(viewer).PageControlData->isTabVisible(2));
    QCOMPARE(ViewerControls(viewer).PageControlData->currentIndex(), 2);
    QVERIFY(ViewerControls(viewer).PageControlData->isHidden());

    pressServiceKey(windows->formRead_.get(), Qt::Key_F7);
    QVERIFY(!ViewerControls(viewer).PageControlData->isTabVisible(2));
    QCOMPARE(ViewerControls(viewer).PageControlData->currentIndex(), 0);
}

void ApplicationWindowsTest::serviceKeysWorkFromEveryWindowAndAfterTheViewerWasClosed()
{
    TFormMain& viewer = *windows->formMain_;
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    viewer.close();
    QVERIFY(!viewer.isVisible());

    windows->formStatistic_->show();
    pressServiceKey(StatisticsControls(*windows->formStatistic_).ButtonClose, Qt::Key_F9);
    QCOMPARE(simulation->monitorControls().ButtonReg->Tag, TFormRead::TestModeTag);
    pressServiceKey(SettingsControls(*windows->formSetting_).ListBox1, Qt::Key_F8);
    QVERIFY(windows->formSetting_->pageVisible(SettingsControls(*windows->formSetting_).TabSheet3));
}

void ApplicationWindowsTest::serviceKeyArrivingThroughTheWindowSwitchesOnce()
{
    TFormRead& monitor = *windows->formRead_;
    const MonitorControls controls = simulation->monitorControls();
    monitor.activateWindow();
    controls.ButtonReg->setEnabled(true);
    controls.ButtonReg->setFocus();
    QTest::keyClick(monitor.windowHandle(), Qt::Key_F9, Qt::ShiftModifier);
    QCOMPARE(controls.ButtonReg->Tag, TFormRead::TestModeTag);
}

void ApplicationWindowsTest::statisticsToggleOnlyWithMoreThanTwoRows()
{
    TFormMain& viewer = *windows->formMain_;
    TFormStatistic& statistics = *windows->formStatistic_;

    loadRows(1);  // header plus one data row: two rows
    ViewerControls(viewer).N4->trigger();
    QVERIFY(!statistics.isVisible());

    statistics.show();
    ViewerControls(viewer).N4->trigger();
    QVERIFY(statistics.isVisible());
    StatisticsControls(statistics).ButtonClose->click();
    QVERIFY(!statistics.isVisible());

    loadRows(2);
    ViewerControls(viewer).N4->trigger();
    QVERIFY(statistics.isVisible());
    ViewerControls(viewer).N4->trigger();
    QVERIFY(!statistics.isVisible());
}

void ApplicationWindowsTest::settingsItemTogglesTheSettingsWindow()
{
    ViewerControls(*windows->formMain_).N1Setting->trigger();
    QVERIFY(windows->formSetting_->isVisible());
    ViewerControls(*windows->formMain_).N1Setting->trigger();
    QVERIFY(!windows->formSetting_->isVisible());
}

void ApplicationWindowsTest::loggerButtonOpensTheViewerAndThePollGoesOn()
{
    const MonitorControls monitor = simulation->monitorControls();
    monitor.ButtonReg->setEnabled(true);
    monitor.ButtonStartMon->setText(QStringLiteral("Стоп"));
    simulation->pollTimer()->start(2000);

    QTest::mouseClick(monitor.ButtonReg, Qt::LeftButton);
    QVERIFY(windows->formMain_->isVisible());
    // An alarm system that slept while the log is studied would be none.
    QVERIFY(simulation->pollTimer()->isActive());
    QCOMPARE(monitor.ButtonStartMon->text(), QStringLiteral("Стоп"));
}

void ApplicationWindowsTest::loggerButtonRaisesTheViewerOpenBehindTheMonitor()
{
    TFormMain& viewer = *windows->formMain_;
    TFormRead& monitor = *windows->formRead_;
    viewer.show();
    QVERIFY(QTest::qWaitForWindowActive(&viewer));
    monitor.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&monitor));

    const MonitorControls controls = simulation->monitorControls();
    controls.ButtonReg->setEnabled(true);
    QTest::mouseClick(controls.ButtonReg, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(&viewer));
    QCOMPARE(QApplication::activeWindow(), &viewer);
}

void ApplicationWindowsTest::viewerColumnsFollowTheWindowWidth()
{
    TFormMain& viewer = *windows->formMain_;
    viewer.show();
    viewer.resize(1000, 701);
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    const int expectedWidth = (viewer.frameGeometry().width() - 52) / 6;
    for (int column = 0; column < 6; ++column)
        QCOMPARE(ViewerControls(viewer).TablePage->StringGridFiltr->columnWidth(column), expectedWidth);
    QCOMPARE(ViewerControls(viewer).TablePage->StringGridFiltr->columnWidth(6), 0);
}

void ApplicationWindowsTest::viewerShrinksBackToItsStartSizeAfterALoad()
{
    TFormMain& viewer = *windows->formMain_;
    const QSize start = viewer.size();
    simulation->logger->setLog(LogGenerator(3).generate(500, TLogShape::Typical, QDateTime(QDate(2024, 3, 1), QTime(8, 0))));
    simulation->loadIntoShownViewer(start);
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    for (int page = 0; page < 2; ++page) {
        ViewerControls(viewer).PageControlData->setCurrentIndex(page);
        viewer.resize(start + QSize(300, 250));
        QTRY_COMPARE(viewer.size(), start + QSize(300, 250));
        viewer.resize(start);
        QTRY_COMPARE(viewer.size(), start);
        // The table fills its page above the filter panel at any size.
        const TTablePage& table = *ViewerControls(viewer).TablePage;
        if (page == 1)
            QCOMPARE(table.StringGridFiltr->height() + table.PanelSFiltr->height(),
                     ViewerControls(viewer).TabSheetTable->height());
        QVERIFY2(viewer.minimumSize().height() <= start.height() && viewer.minimumSize().width() <= start.width(),
                 qPrintable(QStringLiteral("minimum %1x%2").arg(viewer.minimumWidth()).arg(viewer.minimumHeight())));
    }
}

void ApplicationWindowsTest::closingTheMonitorClosesTheViewerAndEndsTheProgram()
{
    windows->formMain_->show();
    bool quitting = false;
    connect(qApp, &QCoreApplication::aboutToQuit, this, [&quitting] { quitting = true; });
    QTimer::singleShot(0, windows->formRead_.get(), [this] { windows->formRead_->close(); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(2); });  // a guard, not the answer
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(quitting);
    QVERIFY(!windows->formMain_->isVisible());
    QVERIFY(!windows->formRead_->isVisible());
}

KORVI_QTEST_MAIN(ApplicationWindowsTest)
#include "ApplicationWindowsTest.moc"

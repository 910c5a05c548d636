#include "KorviTestMain.h"

#include "SettingsControls.h"
#include "SimulatedWindows.h"

#include "chart/TChart.h"
#include "device/TDeviceLink.h"
#include "monitor/TLiveMonitor.h"
#include "shell/TAlarmGuard.h"
#include "shell/TFormMain.h"
#include "shell/TFormRead.h"
#include "shell/TTagButton.h"

#include <QAccessible>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

#include <optional>

// The monitor's live poll on the real windows, with a simulated logger whose
// channel readings the tests pin.
class LiveMonitorTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startAndStopSwitchTheTimerAndTheCaption();
    void cycleShowsTheReadingsAndAppendsOnePointEach();
    void bottomAxisFollowsTheLastHundredAndFiftyPoints();
    void stopAndStartContinueTheIndices();
    void loggerButtonAndLossLeaveThePollRunning();
    void silentLoggerAddsNoPointAndIsLoggedOnce();
    void seriesKeepADayOfPoints();
    void screenReadersHearTheShownValues();
    void failedCycleGreysTheValuesUntilACycleSucceeds();
    void cycleAfterALateFirstReadShowsItsOwnReadings();

private:
    void cycle(int times = 1);
    void pinReadings(qint32 temperature, qint32 humidity);
    QStringList messages() const;

    std::unique_ptr<SimulatedWindows> simulation;
    std::optional<MonitorControls> monitor;
    TLiveMonitor* live = nullptr;
    QTimer* timer2 = nullptr;
};

void LiveMonitorTest::init()
{
    simulation = std::make_unique<SimulatedWindows>();
    simulation->connectLogger();
    monitor.emplace(simulation->monitorControls());
    live = &simulation->liveMonitor();
    timer2 = simulation->pollTimer();
}

void LiveMonitorTest::cleanup()
{
    simulation.reset();
}

void LiveMonitorTest::cycle(int times)
{
    for (int i = 0; i < times; ++i) {
        live->Timer2Timer();
        simulation->finishRequests();
    }
}

void LiveMonitorTest::pinReadings(qint32 temperature, qint32 humidity)
{
    simulation->logger->setChannelReading(0, temperature);
    simulation->logger->setChannelReading(1, humidity);
}

QStringList LiveMonitorTest::messages() const
{
    const QListWidget& list = *SettingsControls(*simulation->windows->formSetting_).ListBox1;
    QStringList result;
    for (int row = 0; row < list.count(); ++row)
        result << list.item(row)->text().section(QStringLiteral(" -> "), 1);
    return result;
}

void LiveMonitorTest::startAndStopSwitchTheTimerAndTheCaption()
{
    QVERIFY(monitor->ButtonStartMon->isEnabled());
    QCOMPARE(monitor->Label1->text(), QStringLiteral("          "));
    QTest::mouseClick(monitor->ButtonStartMon, Qt::LeftButton);
    QCOMPARE(monitor->ButtonStartMon->text(), QStringLiteral("Стоп"));
    QVERIFY(timer2->isActive());
    QCOMPARE(timer2->interval(), TLiveMonitor::PollPeriodMs);

    // While alarms are raised, "Стоп" asks first; "Нет" keeps watching.
    FakeDialogs& dialogs = *simulation->dialogs;
    QTest::mouseClick(monitor->ButtonStartMon, Qt::LeftButton);
    QCOMPARE(dialogs.questions, QStringList{QStringLiteral("Остановить наблюдение? Пока монитор остановлен, "
                                                           "тревоги не поднимаются.")});
    QCOMPARE(monitor->ButtonStartMon->text(), QStringLiteral("Стоп"));
    QVERIFY(timer2->isActive());

    dialogs.confirms = true;
    QTest::mouseClick(monitor->ButtonStartMon, Qt::LeftButton);
    QCOMPARE(monitor->ButtonStartMon->text(), QStringLiteral("Старт"));
    QVERIFY(!timer2->isActive());

    // Without alarms there is nothing to ask.
    simulation->windows->formRead_->alarms().setSettings(TAlarmSettings{.enabled = false});
    dialogs.questions.clear();
    QTest::mouseClick(monitor->ButtonStartMon, Qt::LeftButton);
    QTest::mouseClick(monitor->ButtonStartMon, Qt::LeftButton);
    QVERIFY(dialogs.questions.isEmpty());
    QCOMPARE(monitor->ButtonStartMon->text(), QStringLiteral("Старт"));
}

void LiveMonitorTest::cycleShowsTheReadingsAndAppendsOnePointEach()
{
    QVERIFY(monitor->ChartRead->isBottomAutomatic());
    pinReadings(215, 455);
    QTest::mouseClick(monitor->ButtonStartMon, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(live->humidityPoints().pointCount(), 1, 3000);
    QVERIFY(timer2->isActive());  // re-armed at the end of the cycle

    QCOMPARE(monitor->Label1->text(), QStringLiteral("RH 45,5 %"));
    QCOMPARE(monitor->Label2->text(), QStringLiteral("t 21,5 °C"));
    QCOMPARE(live->humidityPoints().value(0), 45.5);
    QCOMPARE(live->temperaturePoints().value(0), 21.5);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"))
                .match(live->humidityPoints().label(0)).hasMatch());
    QVERIFY(!monitor->ChartRead->isBottomAutomatic());
    QCOMPARE(monitor->ChartRead->leftRange().min, 0.0);
    QCOMPARE(monitor->ChartRead->leftRange().max, 100.0);

    pinReadings(-401, 1001);  // both out of range: the last accepted readings stay
    cycle();
    QCOMPARE(monitor->Label1->text(), QStringLiteral("RH 45,5 %"));
    QCOMPARE(monitor->Label2->text(), QStringLiteral("t 21,5 °C"));
    QCOMPARE(live->temperaturePoints().value(1), 21.5);

    pinReadings(-50, 1000);  // a fridge below zero is shown as it is
    cycle();
    QCOMPARE(monitor->Label2->text(), QStringLiteral("t -5 °C"));
    QCOMPARE(live->temperaturePoints().value(2), -5.0);
}

void LiveMonitorTest::bottomAxisFollowsTheLastHundredAndFiftyPoints()
{
    cycle(10);
    QCOMPARE(monitor->ChartRead->bottomRange().min, -141.0);
    QCOMPARE(monitor->ChartRead->bottomRange().max, 9.0);
    cycle(190);
    QCOMPARE(monitor->ChartRead->bottomRange().min, 49.0);
    QCOMPARE(monitor->ChartRead->bottomRange().max, 199.0);
}

void LiveMonitorTest::stopAndStartContinueTheIndices()
{
    cycle(3);
    QTest::mouseClick(monitor->ButtonStartMon, Qt::LeftButton);
    QTest::mouseClick(monitor->ButtonStartMon, Qt::LeftButton);
    pinReadings(200, 300);
    cycle();
    QCOMPARE(live->humidityPoints().pointCount(), 4);
    QCOMPARE(live->humidityPoints().value(3), 30.0);
    QCOMPARE(monitor->ChartRead->bottomRange().max, 3.0);
}

void LiveMonitorTest::loggerButtonAndLossLeaveThePollRunning()
{
    pinReadings(230, 500);
    QTest::mouseClick(monitor->ButtonStartMon, Qt::LeftButton);
    QTest::mouseClick(monitor->ButtonReg, Qt::LeftButton);
    QVERIFY(simulation->windows->formMain_->isVisible());
    QVERIFY(timer2->isActive());
    QCOMPARE(monitor->ButtonStartMon->text(), QStringLiteral("Стоп"));
    cycle();
    QCOMPARE(live->temperaturePoints().pointCount(), 1);

    simulation->backend->pull(simulation->logger);
    simulation->detect();
    QVERIFY(timer2->isActive());
    QVERIFY(monitor->ButtonStartMon->isEnabled());
    QVERIFY(!monitor->ButtonReg->isEnabled());
    cycle();
    QVERIFY(!monitor->Label2->isEnabled()); // the last reading, greyed
    QCOMPARE(live->temperaturePoints().pointCount(), 1);

    pinReadings(241, 500);
    simulation->connectLogger();
    cycle();
    QCOMPARE(live->temperaturePoints().pointCount(), 2);
    QCOMPARE(monitor->Label2->text(), QStringLiteral("t 24,1 °C"));

    // Stopped while the logger is away, the monitor cannot be started until it is back.
    simulation->backend->pull(simulation->logger);
    simulation->detect();
    simulation->dialogs->confirms = true;
    QTest::mouseClick(monitor->ButtonStartMon, Qt::LeftButton);
    QVERIFY(!timer2->isActive());
    QCOMPARE(monitor->ButtonStartMon->text(), QStringLiteral("Старт"));
    QVERIFY(!monitor->ButtonStartMon->isEnabled());
}

void LiveMonitorTest::silentLoggerAddsNoPointAndIsLoggedOnce()
{
    pinReadings(230, 500);
    cycle();
    const int linesBefore = int(messages().size());
    simulation->logger->setFault(SimulatedLogger::Fault::NoReply);
    cycle(3);
    QCOMPARE(live->humidityPoints().pointCount(), 1);
    QVERIFY(monitor->Label1->text().startsWith(QStringLiteral("RH 50 % (")));
    QCOMPARE(messages().mid(linesBefore), QStringList{QStringLiteral("ОШИБКА! Прибор не отвечает")});
    QVERIFY(timer2->isActive());  // the poll goes on until detection notices the logger is gone

    simulation->logger->setFault(SimulatedLogger::Fault::None);
    cycle();
    simulation->logger->setFault(SimulatedLogger::Fault::NoReply);
    cycle();
    QCOMPARE(messages().mid(linesBefore).size(), 2);  // a new silence is reported again
    QCOMPARE(live->humidityPoints().pointCount(), 2);
}

// The first read of a cycle is answered after the time limit: the cycle stops
// there, and its late answer is not taken for a reading of the next cycle.
void LiveMonitorTest::cycleAfterALateFirstReadShowsItsOwnReadings()
{
    pinReadings(230, 500);
    cycle();
    simulation->logger->setLateReplyDelay(TDeviceLink::ReplyTimeoutMs + 900);
    simulation->logger->setFault(SimulatedLogger::Fault::LateReply);
    simulation->logger->clearRequests();
    cycle();
    QCOMPARE(simulation->logger->requests().size(), 1);
    QCOMPARE(live->humidityPoints().pointCount(), 1);

    simulation->logger->setFault(SimulatedLogger::Fault::None);
    pinReadings(241, 612);
    cycle();
    QCOMPARE(live->humidityPoints().pointCount(), 2);
    QCOMPARE(monitor->Label1->text(), QStringLiteral("RH 61,2 %"));
    QCOMPARE(monitor->Label2->text(), QStringLiteral("t 24,1 °C"));
}

void LiveMonitorTest::seriesKeepADayOfPoints()
{
    cycle(int(TLiveMonitor::KeptPoints) + 5);
    QCOMPARE(live->humidityPoints().pointCount(), TLiveMonitor::KeptPoints);
    QCOMPARE(live->temperaturePoints().pointCount(), TLiveMonitor::KeptPoints);
    QCOMPARE(live->humidityPoints().firstIndex(), 5);
    QCOMPARE(monitor->ChartRead->bottomRange().max, double(TLiveMonitor::KeptPoints + 4));
}

void LiveMonitorTest::screenReadersHearTheShownValues()
{
    pinReadings(234, 456);
    cycle();
    const struct {
        QLabel* label;
        QString shown;
        QString description;
    } cases[] = {
        {monitor->Label1, QStringLiteral("RH 45,6 %"), QStringLiteral("Влажность")},
        {monitor->Label2, QStringLiteral("t 23,4 °C"), QStringLiteral("Температура")},
    };
    for (const auto& c : cases) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(c.label);
        QVERIFY(accessible);
        QCOMPARE(c.label->text(), c.shown);
        QCOMPARE(accessible->text(QAccessible::Name), c.shown);
        QCOMPARE(accessible->text(QAccessible::Description), c.description);
    }
    pinReadings(240, 470);
    cycle();
    QCOMPARE(QAccessible::queryAccessibleInterface(monitor->Label1)->text(QAccessible::Name),
             QStringLiteral("RH 47 %"));
}

void LiveMonitorTest::failedCycleGreysTheValuesUntilACycleSucceeds()
{
    QWidget& window = *simulation->windows->formRead_;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    simulation->logger->setFault(SimulatedLogger::Fault::NoReply);
    cycle();  // nothing read yet: nothing to grey
    QVERIFY(monitor->Label1->isEnabled());
    QCOMPARE(monitor->Label1->text().trimmed(), QString());

    simulation->logger->setFault(SimulatedLogger::Fault::None);
    pinReadings(234, 456);
    cycle();
    const QString readAt = live->humidityPoints().label(0);
    simulation->logger->setFault(SimulatedLogger::Fault::NoReply);
    cycle(2);
    const QString stale[] = {QStringLiteral("RH 45,6 % (%1)").arg(readAt), QStringLiteral("t 23,4 °C (%1)").arg(readAt)};
    const QLabel* labels[] = {monitor->Label1, monitor->Label2};
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(labels[i]->text(), stale[i]);
        QVERIFY(!labels[i]->isEnabled());
        QCOMPARE(QAccessible::queryAccessibleInterface(const_cast<QLabel*>(labels[i]))->text(QAccessible::Name),
                 stale[i]);
    }
    QCOMPARE(monitor->Label1->palette().color(QPalette::Disabled, QPalette::WindowText),
             window.palette().color(QPalette::Disabled, QPalette::WindowText));
    QVERIFY(monitor->Label1->palette().color(QPalette::Active, QPalette::WindowText) == QColor(Qt::blue));
    // The longer texts stay side by side, centred anew.
    QVERIFY(monitor->Label1->geometry().right() < monitor->Label2->geometry().left());

    simulation->logger->setFault(SimulatedLogger::Fault::None);
    pinReadings(240, 470);
    cycle();
    QCOMPARE(monitor->Label1->text(), QStringLiteral("RH 47 %"));
    QCOMPARE(monitor->Label2->text(), QStringLiteral("t 24 °C"));
    QVERIFY(monitor->Label1->isEnabled() && monitor->Label2->isEnabled());
}

KORVI_QTEST_MAIN(LiveMonitorTest)
#include "LiveMonitorTest.moc"

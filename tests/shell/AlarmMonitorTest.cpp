#include "KorviTestMain.h"

#include "ArchiveEngines.h"
#include "alerts/TestNotificationService.h"
#include "mail/SmtpTestServers.h"
#include "SimulatedWindows.h"

#include "alerts/TAlarmSound.h"
#include "archive/TArchive.h"
#include "data/UserLimitsHolder.h"
#include "data/UserLimitsSettings.h"
#include "monitor/AlarmSettings.h"
#include "monitor/TLiveMonitor.h"
#include "shell/TAcknowledgeDialog.h"
#include "shell/TAlarmDialog.h"
#include "shell/TAlarmGuard.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QSpinBox>

namespace {

// Types each character as a key of the user's keyboard layout would: Cyrillic has no key code of Qt's own.
void typeText(QWidget* widget, const QString& text)
{
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
}

} // namespace

// The monitor's alarms on the real windows: a simulated logger whose
// readings the tests pin, cycles run on demand in the tests' own time, and
// the trail and the desktop's notices read back from a scratch archive and
// a notification service of the test's own.
class AlarmMonitorTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readingBeyondALimitForTheDelayRaisesTheAlarm();
    void acknowledgementNeedsACommentAndTheNormIsRestored();
    void silentOrUnpluggedLoggerIsAnAlarm();
    void stoppingTheMonitorEndsItsAlarms();
    void alarmDialogKeepsTheSettings();
    void mailGoesOutAtTheStartTheAcknowledgementAndTheEnd();
    void mailThatCannotBeSentIsShownAndKept();

private:
    // One poll cycle `seconds` after the one before, with the temperature in tenths.
    void cycle(int seconds, qint32 temperature);
    void cycleSilent(int seconds);
    QString statusLine() const { return statusLabel()->text(); }
    QLabel* statusLabel() const { return windows().formRead_->findChild<QLabel*>(QStringLiteral("StatusLine")); }
    QPushButton* acknowledgeButton() const
    {
        return windows().formRead_->findChild<QPushButton*>(QStringLiteral("ButtonAcknowledge"));
    }
    TApplicationWindows& windows() const { return *simulation->windows; }
    const TAlarmSound& sound() const { return *windows().formRead_->findChild<TAlarmSound*>(QStringLiteral("AlarmSound")); }
    // The summaries of the notices the desktop got, once there are `count` of them.
    QStringList noticesShown(int count) const;
    // The alarm events of the trail, oldest first, once there are `count` of them.
    std::vector<TArchiveEvent> alarmEvents(size_t count);

    std::unique_ptr<ScratchArchive> scratch;
    std::unique_ptr<SimulatedWindows> simulation;
    std::unique_ptr<TArchive> reader;
    std::unique_ptr<TestNotificationService> notifications;
    std::optional<MonitorControls> monitor;
    QDateTime now;
};

void AlarmMonitorTest::init()
{
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("korvi-monitor"),
              QStringLiteral("korvi-monitor"))
        .clear();
    notifications = std::make_unique<TestNotificationService>();
    QVERIFY(notifications->holdsName());
    scratch = std::make_unique<ScratchArchive>(TArchiveLocation::Engine::Sqlite);
    simulation = std::make_unique<SimulatedWindows>(QByteArray(160, '\0'), QString(), scratch->location());
    simulation->connectLogger();
    monitor.emplace(simulation->monitorControls());
    now = QDateTime(QDate(2026, 12, 11), QTime(14, 5, 0));
    windows().formRead_->setClock([this] { return now; });
    // A fridge: 2,0…8,0 °C.
    windows().limits_->setLimits(TUserLimits{20, 80, 300, 600, 950, 1050});
    windows().formRead_->alarms().setSettings(TAlarmSettings{.delaySeconds = 10});
    reader = scratch->open();
    QVERIFY(reader);
    simulation->logger->setChannelReading(1, 450);
    simulation->logger->setChannelReading(2, 1000);
    QTest::mouseClick(monitor->ButtonStartMon, Qt::LeftButton);
}

void AlarmMonitorTest::cleanup()
{
    reader.reset();
    monitor.reset();
    simulation.reset();
    scratch.reset();
    notifications.reset();
}

QStringList AlarmMonitorTest::noticesShown(int count) const
{
    QStringList summaries;
    QTest::qWaitFor(
        [&] {
            summaries.clear();
            for (const ReceivedNotice& notice : notifications->received())
                summaries << notice.summary + QStringLiteral(" | ") + notice.body;
            return summaries.size() >= count;
        },
        5000);
    return summaries;
}

void AlarmMonitorTest::cycle(int seconds, qint32 temperature)
{
    now = now.addSecs(seconds);
    simulation->logger->setChannelReading(0, temperature);
    simulation->liveMonitor().Timer2Timer();
    simulation->finishRequests();
}

void AlarmMonitorTest::cycleSilent(int seconds)
{
    now = now.addSecs(seconds);
    simulation->liveMonitor().Timer2Timer();
    simulation->finishRequests();
}

std::vector<TArchiveEvent> AlarmMonitorTest::alarmEvents(size_t count)
{
    std::vector<TArchiveEvent> alarms;
    QTest::qWaitFor(
        [&] {
            QString error;
            alarms.clear();
            for (const TArchiveEvent& event : reader->trail({}, &error)) {
                if (event.kind >= TArchiveEventKind::AlarmStart)
                    alarms.insert(alarms.begin(), event);
            }
            return alarms.size() >= count;
        },
        10000);
    return alarms;
}

void AlarmMonitorTest::readingBeyondALimitForTheDelayRaisesTheAlarm()
{
    cycle(0, 50);
    const QString connected = statusLine();
    cycle(2, 94); // 14:05:02, beyond 8,0 °C
    cycle(2, 95);
    cycle(6, 96); // 8 s beyond: not yet
    QCOMPARE(statusLine(), connected);
    QVERIFY(acknowledgeButton()->isHidden());

    cycle(2, 94); // 10 s
    QCOMPARE(statusLine(), QStringLiteral("ТРЕВОГА: t = 9,4 °C выше 8,0 °C с 14:05:02"));
    QCOMPARE(statusLabel()->palette().color(QPalette::WindowText), QColor(Qt::red));
    QVERIFY(monitor->Label2->autoFillBackground());
    QCOMPARE(monitor->Label2->palette().color(QPalette::Window), QColor(192, 0, 0));
    QCOMPARE(monitor->Label2->palette().color(QPalette::WindowText), QColor(Qt::white));
    QVERIFY(!monitor->Label1->autoFillBackground());
    QVERIFY(!acknowledgeButton()->isHidden());
    QVERIFY(sound().isSounding());
    const QString logger = windows().connection_->deviceLabel();
    QCOMPARE(noticesShown(1), QStringList{QStringLiteral("ТРЕВОГА: прибор № %1 | t = 9,4 °C выше 8,0 °C с 14:05:02; "
                                                         "задержка 10 с").arg(logger)});
    QCOMPARE(notifications->received().at(0).hints.value(QStringLiteral("urgency")).toInt(), 2);

    // The line follows the readings; the logger's own state does not cover it.
    cycle(2, 97);
    QCOMPARE(statusLine(), QStringLiteral("ТРЕВОГА: t = 9,7 °C выше 8,0 °C с 14:05:02"));
    emit windows().connection_->notAnswering();
    QCOMPARE(statusLine(), QStringLiteral("ТРЕВОГА: t = 9,7 °C выше 8,0 °C с 14:05:02"));

    const std::vector<TArchiveEvent> events = alarmEvents(1);
    QCOMPARE(events.size(), size_t(1));
    QCOMPARE(events[0].kind, TArchiveEventKind::AlarmStart);
    QCOMPARE(events[0].label, windows().connection_->deviceLabel());
    QCOMPARE(events[0].detail, QStringLiteral("t = 9,4 °C выше 8,0 °C с 14:05:02; задержка 10 с"));
}

void AlarmMonitorTest::acknowledgementNeedsACommentAndTheNormIsRestored()
{
    cycle(0, 94);
    cycle(10, 98);
    QVERIFY(statusLine().startsWith(QStringLiteral("ТРЕВОГА: ")));

    QTest::mouseClick(acknowledgeButton(), Qt::LeftButton);
    auto* dialog = windows().formRead_->findChild<TAcknowledgeDialog*>();
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());
    QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QTest::keyClicks(dialog->findChild<QPlainTextEdit*>(QStringLiteral("EditComment")), QStringLiteral("   "));
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("LabelProblem"))->text(),
             QStringLiteral("Напишите, что сделано: без комментария тревога не подтверждается"));
    QVERIFY(!acknowledgeButton()->isHidden());

    typeText(dialog->findChild<QPlainTextEdit*>(QStringLiteral("EditComment")),
             QStringLiteral("Дверь холодильника закрыта"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QTRY_VERIFY(!windows().formRead_->findChild<TAcknowledgeDialog*>());
    QVERIFY(acknowledgeButton()->isHidden());
    QVERIFY(!sound().isSounding());
    QCOMPARE(statusLine(), QStringLiteral("ТРЕВОГА: t = 9,8 °C выше 8,0 °C с 14:05:00 (подтверждена)"));

    cycle(30, 79); // 14:05:40
    QCOMPARE(statusLine(), QStringLiteral("Норма восстановлена в 14:05:40"));
    QCOMPARE(statusLabel()->palette().color(QPalette::WindowText),
             windows().formRead_->palette().color(QPalette::WindowText));
    QVERIFY(!monitor->Label2->autoFillBackground());
    QCOMPARE(monitor->Label2->palette().color(QPalette::WindowText), QColor(Qt::red));

    const std::vector<TArchiveEvent> events = alarmEvents(3);
    QCOMPARE(events.size(), size_t(3));
    QCOMPARE(events[1].kind, TArchiveEventKind::AlarmAcknowledge);
    QCOMPARE(events[1].detail, QStringLiteral("t выше 8,0 °C с 14:05:00; комментарий: Дверь холодильника закрыта"));
    QCOMPARE(events[1].stamp.user, TArchiveStamp::now().user);
    QCOMPARE(events[2].kind, TArchiveEventKind::AlarmEnd);
    QCOMPARE(events[2].detail, QStringLiteral("t выше 8,0 °C с 14:05:00 закончилась в 14:05:40: t = 7,9 °C, "
                                              "длительность 0:00:40, экстремум 9,8 °C"));
    // The desktop is told of the start and the end, not of the acknowledgement.
    const QStringList notices = noticesShown(2);
    QCOMPARE(notices.size(), 2);
    QCOMPARE(notices[1], QStringLiteral("Норма восстановлена: прибор № %1 | %2")
                             .arg(windows().connection_->deviceLabel(), events[2].detail));
}

void AlarmMonitorTest::silentOrUnpluggedLoggerIsAnAlarm()
{
    cycle(0, 50);
    simulation->logger->setFault(SimulatedLogger::Fault::NoReply);
    cycleSilent(2); // 14:05:02
    cycleSilent(8);
    QVERIFY(!statusLine().startsWith(QStringLiteral("ТРЕВОГА")));
    simulation->logger->setFault(SimulatedLogger::Fault::None);
    simulation->backend->pull(simulation->logger);
    simulation->detect();
    cycleSilent(2); // 10 s without a reading, the logger gone meanwhile
    QCOMPARE(statusLine(), QStringLiteral("ТРЕВОГА: нет данных от прибора с 14:05:02"));
    QVERIFY(!acknowledgeButton()->isHidden());

    simulation->connectLogger();
    cycle(4, 50); // 14:05:16
    QCOMPARE(statusLine(), QStringLiteral("Норма восстановлена в 14:05:16"));
    const std::vector<TArchiveEvent> events = alarmEvents(2);
    QCOMPARE(events.size(), size_t(2));
    QCOMPARE(events[1].detail,
             QStringLiteral("нет данных от прибора с 14:05:02 закончилась в 14:05:16: длительность 0:00:14"));
}

void AlarmMonitorTest::stoppingTheMonitorEndsItsAlarms()
{
    cycle(0, 10);
    cycle(10, 10);
    QCOMPARE(statusLine(), QStringLiteral("ТРЕВОГА: t = 1,0 °C ниже 2,0 °C с 14:05:00"));
    simulation->dialogs->confirms = true;
    now = now.addSecs(5);
    QTest::mouseClick(monitor->ButtonStartMon, Qt::LeftButton);
    QCOMPARE(monitor->ButtonStartMon->text(), QStringLiteral("Старт"));
    QCOMPARE(statusLine(), QStringLiteral("Прибор № %1 подключён").arg(windows().connection_->deviceLabel()));
    QVERIFY(acknowledgeButton()->isHidden());
    QVERIFY(!monitor->Label2->autoFillBackground());
    const std::vector<TArchiveEvent> events = alarmEvents(2);
    QCOMPARE(events.size(), size_t(2));
    QCOMPARE(events[1].detail, QStringLiteral("t ниже 2,0 °C с 14:05:00 закончилась в 14:05:15: длительность 0:00:15, "
                                              "экстремум 1,0 °C, наблюдение остановлено"));
}

void AlarmMonitorTest::alarmDialogKeepsTheSettings()
{
    windows().formRead_->findChild<QAction*>(QStringLiteral("ActionAlarms"))->trigger();
    auto* dialog = windows().formRead_->findChild<TAlarmDialog*>();
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());
    auto* delay = dialog->findChild<QSpinBox*>(QStringLiteral("SpinDelay"));
    QCOMPARE(delay->value(), 10);
    delay->selectAll();
    QTest::keyClick(delay, Qt::Key_Backspace, Qt::NoModifier);
    QTest::keyClicks(delay, QStringLiteral("0"));
    QCOMPARE(delay->value(), 0);
    QTest::mouseClick(dialog->findChild<QCheckBox*>(QStringLiteral("CheckTemperature")), Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QTRY_VERIFY(!dialog->isVisible());

    const TAlarmSettings kept = StoredAlarmSettings(*ProgramSettings());
    QCOMPARE(kept.delaySeconds, 0);
    QCOMPARE(kept.watched, (std::array<bool, 3>{false, true, true}));
    QVERIFY(windows().formRead_->alarms().settings() == kept);

    cycle(0, 150); // the temperature is not watched now
    QVERIFY(!statusLine().startsWith(QStringLiteral("ТРЕВОГА")));
    simulation->logger->setChannelReading(1, 700);
    cycle(2, 150); // the humidity raises at once
    QCOMPARE(statusLine(), QStringLiteral("ТРЕВОГА: RH = 70,0 % выше 60,0 % с 14:05:02"));
    QVERIFY(monitor->Label1->autoFillBackground());
}

void AlarmMonitorTest::mailGoesOutAtTheStartTheAcknowledgementAndTheEnd()
{
    const std::optional<TSmtpTestServers> servers = TSmtpTestServers::fromEnvironment();
    if (!servers)
        QSKIP("no SMTP server of the tests: run under script/test");
    const QString recipient = UniqueRecipient(QStringLiteral("alarm"));
    windows().formRead_->alarms().setMailSettings(
        TMailSettings{servers->url(servers->port), {}, QStringLiteral("monitor@example.org"), {recipient}});
    cycle(0, 94);
    cycle(10, 94);
    windows().formRead_->alarms().acknowledge(QStringLiteral("Дверь закрыта"));
    cycle(2, 50);
    const QList<TReceivedMail> mails = WaitForMails(servers->inbox, recipient, 3, 20000);
    QCOMPARE(mails.size(), 3);
    const QString logger = windows().connection_->deviceLabel();
    QCOMPARE(mails[0].headers.value(QStringLiteral("Subject")), QStringLiteral("ТРЕВОГА: прибор № %1").arg(logger));
    QVERIFY2(mails[0].body.contains(QStringLiteral("t = 9,4 °C выше 8,0 °C с 14:05:00; задержка 10 с")),
             qPrintable(mails[0].body));
    QCOMPARE(mails[1].headers.value(QStringLiteral("Subject")),
             QStringLiteral("ТРЕВОГА подтверждена: прибор № %1").arg(logger));
    QVERIFY2(mails[1].body.contains(QStringLiteral("комментарий: Дверь закрыта")), qPrintable(mails[1].body));
    QVERIFY2(mails[1].body.contains(QStringLiteral("Подтвердил: ") + TArchiveStamp::now().user), qPrintable(mails[1].body));
    QCOMPARE(mails[2].headers.value(QStringLiteral("Subject")), QStringLiteral("Норма восстановлена: прибор № %1").arg(logger));
}

void AlarmMonitorTest::mailThatCannotBeSentIsShownAndKept()
{
    windows().formRead_->alarms().setMailSettings(TMailSettings{QStringLiteral("smtp://127.0.0.1:%1").arg(ClosedPort()), {},
                                                                QStringLiteral("monitor@example.org"),
                                                                {QStringLiteral("duty@example.org")}});
    cycle(0, 94);
    cycle(10, 94);
    QTRY_VERIFY_WITH_TIMEOUT(statusLine().contains(QStringLiteral("не отправлено")), 15000);
    QVERIFY2(statusLine().startsWith(QStringLiteral("ТРЕВОГА: t = 9,4 °C выше 8,0 °C с 14:05:00; Письмо «ТРЕВОГА: прибор № ")),
             qPrintable(statusLine()));
    const std::vector<TArchiveEvent> events = alarmEvents(2);
    QCOMPARE(events.size(), size_t(2));
    QCOMPARE(events[1].kind, TArchiveEventKind::AlarmNoticeFailure);
    QVERIFY2(events[1].detail.startsWith(QStringLiteral("Письмо «ТРЕВОГА: прибор № ")), qPrintable(events[1].detail));
}

KORVI_QTEST_MAIN(AlarmMonitorTest)
#include "AlarmMonitorTest.moc"

// The desktop notifier against a notification service of the test's own on
// a private session bus (run inside dbus-run-session), and with no bus at all.
#include "alerts/TestNotificationService.h"

#include "alerts/TDesktopNotifier.h"
#include "text/MessageText.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

const QString AlarmSummary = QStringLiteral("ТРЕВОГА: температура выше предела");
const QString AlarmBody = QStringLiteral("Температура 31,2 °C, предел 30,0 °C");
const QString RestoredSummary = QStringLiteral("Норма восстановлена");
const QString RestoredBody = QStringLiteral("Температура 29,4 °C");
const QString UnavailableLine = QStringLiteral("Уведомления рабочего стола недоступны: ");

// Lets the event loop run until the service answered `count` calls, then
// 100 ms more for the answers to reach the notifier.
bool waitForAnswers(const TestNotificationService& service, int count)
{
    if (!QTest::qWaitFor([&] { return service.answered() == count; }, 10000))
        return false;
    QTest::qWait(100);
    return true;
}

TEST(DesktopNotifier, SendsCriticalNoticesThatStayUntilDismissed)
{
    const TestNotificationService service;
    ASSERT_TRUE(service.holdsName());
    TDesktopNotifier notifier;
    QSignalSpy unavailable(&notifier, &TDesktopNotifier::unavailable);

    notifier.notify(AlarmSummary, AlarmBody);
    notifier.notify(RestoredSummary, RestoredBody);
    ASSERT_TRUE(waitForAnswers(service, 2));

    const QList<ReceivedNotice> received = service.received();
    ASSERT_EQ(received.size(), 2);
    const QStringList summaries{AlarmSummary, RestoredSummary};
    const QStringList bodies{AlarmBody, RestoredBody};
    for (int i = 0; i < received.size(); ++i) {
        const ReceivedNotice& notice = received[i];
        EXPECT_EQ(notice.summary, summaries[i]);
        EXPECT_EQ(notice.body, bodies[i]);
        EXPECT_EQ(notice.appName, QStringLiteral("korvi-monitor"));
        EXPECT_EQ(notice.appIcon, QStringLiteral("korvi-monitor"));
        EXPECT_EQ(notice.replacesId, 0u);
        EXPECT_TRUE(notice.actions.isEmpty());
        EXPECT_EQ(notice.expireTimeout, 0);
        // The urgency is a byte on the bus, 2 for critical.
        const QVariant urgency = notice.hints.value(QStringLiteral("urgency"));
        EXPECT_EQ(urgency.metaType(), QMetaType::fromType<uchar>()) << urgency.typeName();
        EXPECT_EQ(urgency.value<uchar>(), 2);
        EXPECT_EQ(notice.hints.size(), 1);
    }
    EXPECT_EQ(unavailable.count(), 0);
}

TEST(DesktopNotifier, WithoutServiceTellsWhyOnceFromTheEventLoop)
{
    TDesktopNotifier notifier;
    QSignalSpy unavailable(&notifier, &TDesktopNotifier::unavailable);

    for (int i = 0; i < 3; ++i)
        notifier.notify(AlarmSummary, AlarmBody);
    EXPECT_EQ(unavailable.count(), 0) << "told within the call, not from the event loop";
    ASSERT_TRUE(unavailable.wait(5000));
    // The bus refuses each of the three at once; none is told again.
    QTest::qWait(300);
    ASSERT_EQ(unavailable.count(), 1);

    const QString reason = unavailable.first().first().toString();
    EXPECT_EQ(MessageLine(reason), UnavailableLine + QStringLiteral("на рабочем столе нет службы уведомлений"));
    EXPECT_TRUE(MessageDetail(reason).startsWith(QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown: ")))
        << reason.toStdString();
}

TEST(DesktopNotifier, TellsAgainOnlyAfterANoticeWentThrough)
{
    TDesktopNotifier notifier;
    QSignalSpy unavailable(&notifier, &TDesktopNotifier::unavailable);
    notifier.notify(AlarmSummary, AlarmBody);
    ASSERT_TRUE(unavailable.wait(5000));

    {
        const TestNotificationService service;
        ASSERT_TRUE(service.holdsName());
        notifier.notify(AlarmSummary, AlarmBody);
        ASSERT_TRUE(waitForAnswers(service, 1));
        EXPECT_EQ(unavailable.count(), 1);
    }

    notifier.notify(RestoredSummary, RestoredBody);
    ASSERT_TRUE(unavailable.wait(5000));
    EXPECT_EQ(unavailable.count(), 2);
}

TEST(DesktopNotifier, ASlowServiceKeepsNoOneWaiting)
{
    const TestNotificationService service(5s);
    ASSERT_TRUE(service.holdsName());
    TDesktopNotifier notifier;
    QSignalSpy unavailable(&notifier, &TDesktopNotifier::unavailable);
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start();

    notifier.notify(AlarmSummary, AlarmBody);
    EXPECT_EQ(service.answered(), 0) << "the call waited for the service's answer";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.received().isEmpty(); }, 5000));
    // The service holds its answer for 5 s; the caller's timer ticks on meanwhile.
    const int ticksWhenReceived = ticks;
    QTest::qWait(1000);
    EXPECT_EQ(service.answered(), 0);
    EXPECT_GE(ticks - ticksWhenReceived, 50);

    ASSERT_TRUE(waitForAnswers(service, 1));
    EXPECT_EQ(unavailable.count(), 0);
}

// Run with a session bus address that leads nowhere.
TEST(WithoutDevices, NotifierTellsThereIsNoSessionBus)
{
    ASSERT_FALSE(QDBusConnection::sessionBus().isConnected());
    TDesktopNotifier notifier;
    QSignalSpy unavailable(&notifier, &TDesktopNotifier::unavailable);

    notifier.notify(AlarmSummary, AlarmBody);
    notifier.notify(RestoredSummary, RestoredBody);
    EXPECT_EQ(unavailable.count(), 0) << "told within the call, not from the event loop";
    ASSERT_TRUE(unavailable.wait(5000));
    QTest::qWait(300);
    ASSERT_EQ(unavailable.count(), 1);

    const QString reason = unavailable.first().first().toString();
    EXPECT_EQ(MessageLine(reason), UnavailableLine + QStringLiteral("нет сеанса D-Bus рабочего стола"));
    // The detail is why the bus could not be reached, not merely that it was not.
    const QDBusError busError = QDBusConnection::sessionBus().lastError();
    EXPECT_EQ(MessageDetail(reason), busError.name() + QStringLiteral(": ") + busError.message());
}

} // namespace

#include "EnvironmentChange.h"
#include "QStringPrinting.h"
#include "mail/MailPassword.h"
#include "mail/SmtpServersTest.h"
#include "mail/TAlarmMailer.h"

#include "text/MessageText.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// What a mailer told, in the order told: "sent: S", "failed: M", "stored", "not stored: M".
class MailerReports
{
public:
    explicit MailerReports(TAlarmMailer& mailer)
    {
        QObject::connect(&mailer, &TAlarmMailer::sent, [this](const QString& subject) { told << "sent: " + subject; });
        QObject::connect(&mailer, &TAlarmMailer::failed, [this](const QString& message) { told << "failed: " + message; });
        QObject::connect(&mailer, &TAlarmMailer::passwordStored, [this] { told << QStringLiteral("stored"); });
        QObject::connect(&mailer, &TAlarmMailer::passwordNotStored,
                         [this](const QString& message) { told << "not stored: " + message; });
    }

    // Handles events until `count` reports came or `limitMs` passed.
    const QStringList& waitFor(qsizetype count, int limitMs = 20000)
    {
        const QDeadlineTimer deadline(limitMs);
        while (told.size() < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return told;
    }

    QStringList told;
};

class AlarmMailerTest : public SmtpServersTest
{
protected:
    TMailSettings settingsFor(int port, const QString& recipient, const QString& user = {}) const
    {
        return {servers_.url(port), user, QStringLiteral("korvi@lab.local"), {recipient}};
    }
};

// Messages go out in the order sent, each told once; a failure is told with
// its reason and the messages after it still go, each with the settings it
// was sent with.
TEST_F(AlarmMailerTest, MessagesGoOutInTheOrderSent)
{
    const QString recipient = UniqueRecipient(QStringLiteral("order"));
    const int closedPort = ClosedPort();
    TAlarmMailer mailer(settingsFor(servers_.port, recipient));
    MailerReports reports(mailer);
    EXPECT_TRUE(mailer.send({QStringLiteral("Начало тревоги"), QStringLiteral("Температура 9,4 °C")}));
    EXPECT_TRUE(mailer.send({QStringLiteral("Тревога подтверждена"), QStringLiteral("Иванов И. И.")}));
    mailer.setSettings(settingsFor(closedPort, recipient));
    EXPECT_TRUE(mailer.send({QStringLiteral("Потерянное"), QString()}));
    mailer.setSettings(settingsFor(servers_.port, recipient));
    EXPECT_TRUE(mailer.send({QStringLiteral("Конец тревоги"), QStringLiteral("Температура 7,9 °C")}));

    const QStringList expected = {
        QStringLiteral("sent: Начало тревоги"), QStringLiteral("sent: Тревога подтверждена"),
        QStringLiteral("failed: Письмо «Потерянное» не отправлено: почтовый сервер 127.0.0.1:%1 не принимает соединений")
            .arg(closedPort),
        QStringLiteral("sent: Конец тревоги")};
    QStringList told = reports.waitFor(expected.size());
    for (QString& report : told)
        report = MessageLine(report);
    EXPECT_EQ(told, expected);
    QStringList subjects;
    for (const TReceivedMail& mail : ReceivedMails(servers_.inbox, recipient))
        subjects << mail.headers.value(QStringLiteral("Subject"));
    EXPECT_EQ(subjects, QStringList({QStringLiteral("Начало тревоги"), QStringLiteral("Тревога подтверждена"),
                                     QStringLiteral("Конец тревоги")}));
}

// Without a server, a sender or a recipient the e-mail is off: nothing is
// queued and nothing told.
TEST_F(AlarmMailerTest, NothingIsSentWhenNotConfigured)
{
    TMailSettings settings = settingsFor(servers_.port, UniqueRecipient(QStringLiteral("off")));
    settings.recipients.clear();
    TAlarmMailer mailer(settings);
    MailerReports reports(mailer);
    EXPECT_FALSE(mailer.send({QStringLiteral("Начало тревоги"), QString()}));
    EXPECT_TRUE(reports.waitFor(1, 300).isEmpty());
}

// send() returns at once while the server takes 5 s to answer; the message
// sent after it waits its turn.
TEST_F(AlarmMailerTest, ASlowServerHoldsNothingButTheMessagesAfterIt)
{
    const QString recipient = UniqueRecipient(QStringLiteral("slow"));
    TAlarmMailer mailer(settingsFor(servers_.slowPort, recipient));
    MailerReports reports(mailer);
    QElapsedTimer clock;
    clock.start();
    mailer.send({QStringLiteral("Медленное"), QString()});
    mailer.setSettings(settingsFor(servers_.port, recipient));
    mailer.send({QStringLiteral("Следующее"), QString()});
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(reports.waitFor(2), QStringList({QStringLiteral("sent: Медленное"), QStringLiteral("sent: Следующее")}));
    EXPECT_GE(clock.elapsed(), 5000);
    const QList<TReceivedMail> mails = ReceivedMails(servers_.inbox, recipient);
    ASSERT_EQ(mails.size(), 2);
    EXPECT_EQ(mails[0].server, QStringLiteral("slow"));
    EXPECT_EQ(mails[1].server, QStringLiteral("plain"));
}

// The program's exit waits for a message to a slow server at most
// ExitWaitMs, and nothing is told after the mailer is gone.
TEST_F(AlarmMailerTest, TheEndWaitsForASlowServerOnlySoLong)
{
    auto mailer = std::make_unique<TAlarmMailer>(settingsFor(servers_.slowPort, UniqueRecipient(QStringLiteral("end"))));
    MailerReports reports(*mailer);
    mailer->send({QStringLiteral("Медленное"), QString()});
    mailer->send({QStringLiteral("Не начатое"), QString()});
    QThread::msleep(300); // the first is being sent: the server holds its answer for 5 s
    QElapsedTimer ending;
    ending.start();
    mailer.reset();
    EXPECT_LT(ending.elapsed(), TAlarmMailer::ExitWaitMs + 500);
    EXPECT_GE(ending.elapsed(), TAlarmMailer::ExitWaitMs - 500) << "the message being sent was let go on";
    EXPECT_TRUE(reports.waitFor(1, 500).isEmpty());
}

// Where no secret store answers (no D-Bus session), a message of a user
// whose password was not given fails at once, saying so.
TEST_F(AlarmMailerTest, WithoutASecretStoreTheStoredPasswordIsMissed)
{
    const EnvironmentChange noSecretStore("DBUS_SESSION_BUS_ADDRESS", QByteArray());
    const QString recipient = UniqueRecipient(QStringLiteral("nostore"));
    TAlarmMailer mailer(settingsFor(servers_.port, recipient, servers_.user));
    MailerReports reports(mailer);
    mailer.send({QStringLiteral("Начало тревоги"), QString()});
    const QStringList told = reports.waitFor(1, 5000);
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(MessageLine(told.first()), QStringLiteral("failed: Письмо «Начало тревоги» не отправлено: хранилища "
                                                        "паролей нет: нет сеанса D-Bus рабочего стола"));
    EXPECT_TRUE(ReceivedMails(servers_.inbox, recipient).isEmpty());
}

// The password kept in the secret store logs the user in; a wrong one kept
// there is refused by the server, one missing is named. Runs as
// mail_tests_secret_store, in a D-Bus session of its own with GNOME Keyring.
TEST_F(AlarmMailerTest, ThePasswordInTheSecretStoreLogsIn)
{
    if (qEnvironmentVariableIsEmpty("KORVI_TEST_SECRET_STORE"))
        GTEST_SKIP() << "needs a secret store: ctest runs it as mail_tests_secret_store";
    const QString recipient = UniqueRecipient(QStringLiteral("store"));
    TAlarmMailer mailer(settingsFor(servers_.port, recipient, servers_.user));
    MailerReports reports(mailer);
    mailer.storePassword(QStringLiteral("wrong"));
    mailer.send({QStringLiteral("С неверным паролем"), QString()});
    mailer.storePassword(servers_.password);
    mailer.send({QStringLiteral("С паролем из хранилища"), QString()});
    mailer.setSettings(settingsFor(servers_.port, recipient, QStringLiteral("nobody-stored")));
    mailer.send({QStringLiteral("Без пароля"), QString()});

    QStringList told = reports.waitFor(5);
    for (QString& report : told)
        report = MessageLine(report);
    EXPECT_EQ(told, QStringList({QStringLiteral("stored"),
                                 QStringLiteral("failed: Письмо «С неверным паролем» не отправлено: почтовый сервер "
                                                "127.0.0.1:%1 не принял пользователя %2 с этим паролем")
                                     .arg(servers_.port)
                                     .arg(servers_.user),
                                 QStringLiteral("stored"), QStringLiteral("sent: С паролем из хранилища"),
                                 QStringLiteral("failed: Письмо «Без пароля» не отправлено: в хранилище паролей нет "
                                                "пароля пользователя nobody-stored почтового сервера 127.0.0.1:%1")
                                     .arg(servers_.port)}));
    const QList<TReceivedMail> mails = ReceivedMails(servers_.inbox, recipient);
    ASSERT_EQ(mails.size(), 1);
    EXPECT_EQ(mails.first().user, servers_.user);
    EXPECT_TRUE(mails.first().tls);
}

} // namespace

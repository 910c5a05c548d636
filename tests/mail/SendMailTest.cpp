#include "QStringPrinting.h"
#include "mail/SendMail.h"
#include "mail/SmtpServersTest.h"

#include "text/MessageText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <thread>

namespace {

// What the tests send through the servers of script/with-smtp.
class SendMailTest : public SmtpServersTest
{
protected:
    TMailSettings settingsFor(const QString& url, const QStringList& recipients) const
    {
        return {url, QString(), QStringLiteral("korvi@lab.local"), recipients};
    }

    TSendStop goOn_; // never stopped
};

// The message comes as written: Russian subject (long enough for several
// encoded words) and text, every recipient, the headers a mail program needs.
TEST_F(SendMailTest, AMessageArrivesAsWritten)
{
    const QStringList recipients = {UniqueRecipient(QStringLiteral("first")), UniqueRecipient(QStringLiteral("second"))};
    const TMailMessage message{
        QStringLiteral("Тревога: температура в камере №3 вышла за верхний предел 8,0 °C и держится дольше 10 минут"),
        QStringLiteral("Прибор KORVI-0042, камера №3.\nТемпература: 9,4 °C (предел 8,0 °C).\n\n— korvi-monitor")};
    QString error;
    ASSERT_TRUE(SendMail(settingsFor(servers_.url(servers_.port), recipients), QString(), message, goOn_, &error))
        << error.toStdString();

    const QList<TReceivedMail> mails = ReceivedMails(servers_.inbox, recipients.first());
    ASSERT_EQ(mails.size(), 1);
    const TReceivedMail& mail = mails.first();
    EXPECT_EQ(mail.recipients, recipients);
    EXPECT_EQ(mail.mailFrom, QStringLiteral("korvi@lab.local"));
    EXPECT_EQ(mail.headers.value(QStringLiteral("Subject")), message.subject);
    EXPECT_EQ(mail.headers.value(QStringLiteral("From")), QStringLiteral("korvi@lab.local"));
    EXPECT_EQ(mail.headers.value(QStringLiteral("To")), recipients.join(QStringLiteral(", ")));
    EXPECT_EQ(mail.headers.value(QStringLiteral("MIME-Version")), QStringLiteral("1.0"));
    EXPECT_TRUE(mail.data.contains("\r\nContent-Type: text/plain; charset=UTF-8\r\n")) << mail.data.toStdString();
    EXPECT_TRUE(mail.data.contains("\r\nContent-Transfer-Encoding: base64\r\n")) << mail.data.toStdString();
    EXPECT_TRUE(mail.headers.value(QStringLiteral("Message-ID")).endsWith(QStringLiteral("@lab.local>")));
    const QDateTime date = QDateTime::fromString(mail.headers.value(QStringLiteral("Date")), Qt::RFC2822Date);
    ASSERT_TRUE(date.isValid()) << mail.headers.value(QStringLiteral("Date")).toStdString();
    EXPECT_LT(std::abs(date.secsTo(QDateTime::currentDateTime())), 60);
    QString body = mail.body;
    EXPECT_EQ(body.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), message.body);

    // As sent: ASCII only, the subject in encoded words, no line longer than 78.
    EXPECT_TRUE(mail.data.contains("\r\nSubject: =?UTF-8?B?")) << mail.data.toStdString();
    for (const QByteArray& line : mail.data.split('\n')) {
        EXPECT_LE(line.size(), 79) << line.toStdString(); // with its CR
        for (const char c : line)
            EXPECT_TRUE(quint8(c) < 0x80) << line.toStdString();
    }
}

// How the message reaches each server: TLS where the server offers it or
// speaks it, its certificate checked, the user logged in with the right
// password only; each refusal is one Russian line with the reason.
TEST_F(SendMailTest, TlsLoginAndRefusalsAsTheServerAnswers)
{
    const int closedPort = ClosedPort();
    struct Case {
        const char* name;
        QString url;
        QString user;
        QString password;
        bool tls;          // when sent
        const char* refusal; // the line's reason; empty when sent
    };
    const QString plainWithoutCertificate = QStringLiteral("smtp://127.0.0.1:%1").arg(servers_.port);
    const Case cases[] = {
        {"STARTTLS offered and taken", servers_.url(servers_.port), {}, {}, true, ""},
        {"STARTTLS with a login", servers_.url(servers_.port), servers_.user, servers_.password, true, ""},
        {"TLS from the start, with a login", servers_.smtpsUrl(), servers_.user, servers_.password, true, ""},
        {"a wrong password", servers_.url(servers_.port), servers_.user, QStringLiteral("wrong"), false,
         "почтовый сервер 127.0.0.1:%1 не принял пользователя korvi-alarm с этим паролем"},
        {"a certificate nobody vouches for", plainWithoutCertificate, {}, {}, false,
         "сертификат почтового сервера 127.0.0.1:%1 не прошёл проверку"},
        {"nothing listening", servers_.url(closedPort), {}, {}, false,
         "почтовый сервер 127.0.0.1:%1 не принимает соединений"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString recipient = UniqueRecipient(QStringLiteral("tls"));
        TMailSettings settings = settingsFor(c.url, {recipient});
        settings.user = c.user;
        const TMailMessage message{QStringLiteral("Проверка связи"), QStringLiteral("Текст")};
        QString error;
        const bool sent = SendMail(settings, c.password, message, goOn_, &error);
        const QList<TReceivedMail> mails = ReceivedMails(servers_.inbox, recipient);
        if (*c.refusal == '\0') {
            EXPECT_TRUE(sent) << error.toStdString();
            ASSERT_EQ(mails.size(), 1);
            EXPECT_EQ(mails.first().tls, c.tls);
            EXPECT_EQ(mails.first().user, c.user);
            continue;
        }
        EXPECT_FALSE(sent);
        EXPECT_TRUE(mails.isEmpty());
        const int port = QUrl(c.url).port();
        EXPECT_EQ(MessageLine(error),
                  QStringLiteral("Письмо «Проверка связи» не отправлено: ") + QString::fromUtf8(c.refusal).arg(port));
        EXPECT_FALSE(MessageDetail(error).isEmpty()) << "libcurl's own words";
    }
}

TEST_F(SendMailTest, SettingsNotConfiguredSendNothing)
{
    QString error;
    EXPECT_FALSE(SendMail(settingsFor(servers_.url(servers_.port), {}), QString(), {QStringLiteral("Тема"), {}},
                          goOn_, &error));
    EXPECT_EQ(error, QStringLiteral("Письмо «Тема» не отправлено: не указан ни один получатель оповещений"));
    EXPECT_FALSE(SendMail(settingsFor(QStringLiteral("imap://127.0.0.1"), {QStringLiteral("a@b.c")}), QString(),
                          {QStringLiteral("Тема"), {}}, goOn_, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Письмо «Тема» не отправлено: адрес почтового сервера должен")))
        << error.toStdString();
}

// A send waiting for a slow server's answer to the message ends as soon as it is stopped.
TEST_F(SendMailTest, AStopEndsASendWaitingForTheServer)
{
    TSendStop stop;
    QElapsedTimer waited;
    waited.start();
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        stop.stop();
    });
    QString error;
    const bool sent = SendMail(settingsFor(servers_.url(servers_.slowPort), {UniqueRecipient(QStringLiteral("stop"))}),
                               QString(), {QStringLiteral("Тема"), {}}, stop, &error);
    stopper.join();
    EXPECT_FALSE(sent);
    EXPECT_LT(waited.elapsed(), 1500);
    EXPECT_EQ(error, QStringLiteral("Письмо «Тема» не отправлено: отправка прервана"));
}

} // namespace

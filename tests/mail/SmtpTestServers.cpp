#include "mail/SmtpTestServers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <atomic>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

std::optional<TSmtpTestServers> TSmtpTestServers::fromEnvironment()
{
    TSmtpTestServers servers;
    servers.port = qEnvironmentVariableIntValue("KORVI_TEST_SMTP_PORT");
    servers.slowPort = qEnvironmentVariableIntValue("KORVI_TEST_SMTP_SLOW_PORT");
    servers.smtpsPort = qEnvironmentVariableIntValue("KORVI_TEST_SMTPS_PORT");
    servers.certificate = qEnvironmentVariable("KORVI_TEST_SMTP_CERTIFICATE");
    servers.user = qEnvironmentVariable("KORVI_TEST_SMTP_USER");
    servers.password = qEnvironmentVariable("KORVI_TEST_SMTP_PASSWORD");
    servers.inbox = qEnvironmentVariable("KORVI_TEST_SMTP_INBOX");
    if (servers.port == 0 || servers.slowPort == 0 || servers.smtpsPort == 0 || servers.inbox.isEmpty())
        return std::nullopt;
    return servers;
}

QString TSmtpTestServers::url(int serverPort) const
{
    return QStringLiteral("smtp://127.0.0.1:%1?cacert=%2").arg(serverPort).arg(certificate);
}

QString TSmtpTestServers::smtpsUrl() const
{
    return QStringLiteral("smtps://127.0.0.1:%1?cacert=%2").arg(smtpsPort).arg(certificate);
}

QList<TReceivedMail> ReceivedMails(const QString& inbox, const QString& recipient)
{
    QList<TReceivedMail> mails;
    const QDir folder(inbox);
    // Names begin with the time received; files being written are hidden.
    for (const QString& name : folder.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject record = QJsonDocument::fromJson(file.readAll()).object();
        QStringList recipients;
        for (const QJsonValue& address : record.value(QLatin1String("rcpt_tos")).toArray())
            recipients << address.toString();
        if (!recipients.contains(recipient))
            continue;
        TReceivedMail mail;
        mail.server = record.value(QLatin1String("server")).toString();
        mail.tls = record.value(QLatin1String("tls")).toBool();
        mail.user = record.value(QLatin1String("user")).toString();
        mail.mailFrom = record.value(QLatin1String("mail_from")).toString();
        mail.recipients = recipients;
        const QJsonObject headers = record.value(QLatin1String("headers")).toObject();
        for (auto header = headers.begin(); header != headers.end(); ++header)
            mail.headers.insert(header.key(), header.value().toString());
        mail.body = record.value(QLatin1String("body")).toString();
        mail.data = record.value(QLatin1String("data")).toString().toUtf8();
        mails << mail;
    }
    return mails;
}

QList<TReceivedMail> WaitForMails(const QString& inbox, const QString& recipient, qsizetype count, int limitMs)
{
    const QDeadlineTimer deadline(limitMs);
    QList<TReceivedMail> mails = ReceivedMails(inbox, recipient);
    while (mails.size() < count && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
        mails = ReceivedMails(inbox, recipient);
    }
    return mails;
}

QString UniqueRecipient(const QString& name)
{
    static std::atomic_int count = 0;
    return QStringLiteral("%1-%2-%3@korvi.test").arg(name).arg(QCoreApplication::applicationPid()).arg(++count);
}

int ClosedPort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    // Kept bound for the run and never listened on: connections to it are
    // refused, and no other program takes it meanwhile.
    return ntohs(address.sin_port);
}

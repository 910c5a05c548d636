#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// The SMTP servers script/with-smtp starts for a run of the tests
// (script/smtp-test-server): plain with STARTTLS and AUTH, slow (each
// message answered after 5 s) and TLS from the start, all on 127.0.0.1.
struct TSmtpTestServers {
    int port = 0;
    int slowPort = 0;
    int smtpsPort = 0;
    QString certificate; // the servers' self-made certificate
    QString user;        // the one user AUTH accepts, with its password
    QString password;
    QString inbox; // every message received, a file each

    // nullopt when the tests run outside script/test, which starts them.
    static std::optional<TSmtpTestServers> fromEnvironment();

    // smtp:// (or smtps://) 127.0.0.1 at the port, trusting the servers' certificate.
    QString url(int serverPort) const;
    QString smtpsUrl() const;
};

// A message the servers received, as their e-mail parser decoded it.
struct TReceivedMail {
    QString server; // "plain", "slow" or "smtps"
    bool tls = false;
    QString user; // logged in with AUTH; empty when none
    QString mailFrom;
    QStringList recipients; // the envelope's
    QMap<QString, QString> headers;
    QString body; // decoded, line ends as sent
    QByteArray data;
};

// The messages received for the recipient, in the order received.
QList<TReceivedMail> ReceivedMails(const QString& inbox, const QString& recipient);
// Waits up to `limitMs`, handling events, until `count` messages came for the recipient.
QList<TReceivedMail> WaitForMails(const QString& inbox, const QString& recipient, qsizetype count, int limitMs);
// An address at which no other test, nor another run, receives anything.
QString UniqueRecipient(const QString& name);
// A port on 127.0.0.1 on which nothing listens, for the rest of the run.
int ClosedPort();

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One e-mail of the program, in Russian: a subject and a plain text.
struct TMailMessage {
    QString subject;
    QString body;
};

// The message as it goes to the server (RFC 5322 with MIME): From, To,
// Subject as UTF-8 encoded words, Date (now, with the PC's offset), a new
// Message-ID, then the UTF-8 text in base64; every line ends in CRLF.
QByteArray ComposeMail(const QString& from, const QStringList& recipients, const TMailMessage& message);

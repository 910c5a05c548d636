#include "mail/MailText.h"

#include <QDateTime>
#include <QUuid>

#include <algorithm>

namespace {

const QByteArray LineEnd = QByteArrayLiteral("\r\n");

// An encoded word holds at most 75 characters (RFC 2047); 39 bytes of text
// make 52 of base64 and keep the header's lines within 78.
constexpr qsizetype EncodedWordBytes = 39;
// A base64 body's lines hold at most 76 characters (RFC 2045).
constexpr qsizetype Base64LineLength = 76;

// The subject as encoded words, each on a line of its own (folded), never
// splitting a UTF-8 sequence between two words.
QByteArray encodedSubject(const QString& subject)
{
    const QByteArray text = subject.toUtf8();
    QByteArrayList words;
    qsizetype begin = 0;
    while (begin < text.size()) {
        qsizetype end = std::min(begin + EncodedWordBytes, text.size());
        while (end < text.size() && (quint8(text[end]) & 0xC0) == 0x80) // a continuation byte starts no character
            --end;
        words << "=?UTF-8?B?" + text.mid(begin, end - begin).toBase64() + "?=";
        begin = end;
    }
    return words.join(LineEnd + ' ');
}

// The text with CRLF line ends, in base64 lines.
QByteArray base64Body(const QString& body)
{
    QString text = body;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QByteArray encoded = text.toUtf8().toBase64();
    QByteArray lines;
    for (qsizetype begin = 0; begin < encoded.size(); begin += Base64LineLength)
        lines += encoded.mid(begin, Base64LineLength) + LineEnd;
    return lines;
}

// Unique for every message: a UUID at the sender's domain.
QByteArray messageId(const QString& from)
{
    const QString domain = from.section(QLatin1Char('@'), -1);
    return '<' + QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + '@' + domain.toUtf8() + '>';
}

} // namespace

QByteArray ComposeMail(const QString& from, const QStringList& recipients, const TMailMessage& message)
{
    QByteArray mail;
    const auto header = [&mail](const char* name, const QByteArray& value) { mail += name + (": " + value) + LineEnd; };
    header("From", from.toUtf8());
    // Folded after each address, so that many recipients never make too long a line.
    header("To", recipients.join(QStringLiteral(",\r\n ")).toUtf8());
    header("Subject", encodedSubject(message.subject));
    header("Date", QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1());
    header("Message-ID", messageId(from));
    header("MIME-Version", "1.0");
    header("Content-Type", "text/plain; charset=UTF-8");
    header("Content-Transfer-Encoding", "base64");
    return mail + LineEnd + base64Body(message.body);
}

#include "mail/MailSettings.h"

#include "mail/MailServer.h"

#include <QRegularExpression>

namespace {

const QString UrlKey = QStringLiteral("Alarm/SmtpUrl");
const QString UserKey = QStringLiteral("Alarm/SmtpUser");
const QString FromKey = QStringLiteral("Alarm/From");
const QString RecipientsKey = QStringLiteral("Alarm/Recipients");

// An address as the envelope carries it: local@domain, nothing that would
// end the header or the SMTP command it goes into.
bool isMailAddress(const QString& address)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^[^\s@<>,;"]+@[^\s@<>,;"]+$)"));
    return pattern.match(address).hasMatch();
}

} // namespace

bool TMailSettings::configured() const
{
    return !url.isEmpty() && !from.isEmpty() && !recipients.isEmpty();
}

TMailSettings StoredMailSettings(const QSettings& settings)
{
    TMailSettings mail;
    mail.url = settings.value(UrlKey).toString();
    mail.user = settings.value(UserKey).toString();
    mail.from = settings.value(FromKey).toString();
    mail.recipients = SplitMailRecipients(settings.value(RecipientsKey).toString());
    return mail;
}

void StoreMailSettings(QSettings& settings, const TMailSettings& mail)
{
    settings.setValue(UrlKey, mail.url);
    settings.setValue(UserKey, mail.user);
    settings.setValue(FromKey, mail.from);
    // One string, not QSettings' list, so that the file reads as the user wrote it.
    settings.setValue(RecipientsKey, JoinMailRecipients(mail.recipients));
}

QString MailSettingsError(const TMailSettings& mail)
{
    if (mail.url.isEmpty() && mail.user.isEmpty() && mail.from.isEmpty() && mail.recipients.isEmpty())
        return {};
    if (mail.url.isEmpty())
        return QStringLiteral("Не указан адрес почтового сервера");
    QString error;
    if (!TMailServer::fromUrl(mail.url, &error))
        return error;
    if (mail.from.isEmpty())
        return QStringLiteral("Не указан адрес отправителя оповещений");
    if (!isMailAddress(mail.from))
        return QStringLiteral("Адрес отправителя «%1» не похож на адрес почты: нужен вид имя@домен").arg(mail.from);
    if (mail.recipients.isEmpty())
        return QStringLiteral("Не указан ни один получатель оповещений");
    for (const QString& recipient : mail.recipients) {
        if (!isMailAddress(recipient))
            return QStringLiteral("Адрес получателя «%1» не похож на адрес почты: нужен вид имя@домен").arg(recipient);
    }
    return {};
}

QStringList SplitMailRecipients(const QString& text)
{
    QStringList recipients;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QString address = part.trimmed();
        if (!address.isEmpty())
            recipients << address;
    }
    return recipients;
}

QString JoinMailRecipients(const QStringList& recipients)
{
    return recipients.join(QStringLiteral(", "));
}

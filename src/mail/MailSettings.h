#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

// How the alarms' e-mail goes out, kept in the program's settings file
// (data/UserLimitsSettings: ProgramSettings) under "Alarm/...". The password
// is not here: it lives in the desktop's secret store (mail/MailPassword).
struct TMailSettings {
    QString url;  // smtp://host[:port] or smtps://host[:port] (mail/MailServer)
    QString user; // empty: the server is not logged in to
    QString from;
    QStringList recipients;

    // Whether alarms are mailed at all: a server, a sender and a recipient given.
    bool configured() const;

    bool operator==(const TMailSettings&) const = default;
};

TMailSettings StoredMailSettings(const QSettings& settings);
void StoreMailSettings(QSettings& settings, const TMailSettings& mail);

// Why the settings cannot be used, as one Russian line; empty when they can,
// or when nothing at all is given (no e-mail).
QString MailSettingsError(const TMailSettings& mail);

// The recipients as the user writes them: addresses separated by commas.
QStringList SplitMailRecipients(const QString& text);
QString JoinMailRecipients(const QStringList& recipients);

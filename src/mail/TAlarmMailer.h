#pragma once

#include "mail/MailSettings.h"
#include "mail/MailText.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <thread>

class TSendStop;

// Sends the alarms' e-mail on a thread of its own, so that neither the
// windows nor the alarms ever wait for a mail server: send() queues a
// message and returns at once, and the messages go out one after another,
// in the order sent; the password is read from the secret store there, for
// each message. Each outcome comes back queued to this object's thread.
// With settings not configured() nothing is sent and nothing is told: the
// e-mail is optional.
class TAlarmMailer : public QObject
{
    Q_OBJECT

public:
    // How long the end of the mailer lets the message being sent go on; then
    // its connection is shut down and the thread let go, to end by itself.
    static constexpr int ExitWaitMs = 3000;

    explicit TAlarmMailer(const TMailSettings& settings = {}, QObject* parent = nullptr);
    // Messages not yet begun are dropped.
    ~TAlarmMailer() override;

    // The settings of the messages sent from now on; a password given is
    // used instead of the stored one (settings being tried before they are kept).
    void setSettings(const TMailSettings& settings, const std::optional<QString>& password = std::nullopt);
    const TMailSettings& settings() const { return settings_; }

    // Queues the message; false, sending nothing, when the settings are not configured().
    bool send(const TMailMessage& message);
    // Keeps the password of the settings' user in the secret store, in turn
    // with the messages: those sent later use it. Told by passwordStored or
    // passwordNotStored.
    void storePassword(const QString& password);

signals:
    void sent(const QString& subject);
    // One Russian line with the reason (text/MessageText.h: a detail may follow).
    void failed(const QString& message);
    void passwordStored();
    void passwordNotStored(const QString& message);

private:
    // What the mailer's thread tells this one, run here.
    using Report = std::function<void(TAlarmMailer&)>;
    using Job = std::function<Report(TSendStop& stop)>;
    struct Line;

    void post(Job job);
    static void serve(const std::shared_ptr<Line>& line);

    TMailSettings settings_;
    std::optional<QString> password_;
    std::shared_ptr<Line> line_;
    std::thread thread_;
};

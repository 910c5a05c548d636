#pragma once

#include "mail/MailSettings.h"
#include "monitor/TAlarmWatch.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

class TAlarmMailer;
class TAlarmSound;
class TDesktopNotifier;
class TUserLimitsHolder;

// The monitor's alarms: each poll cycle's measurement held against the
// limits in use, and what follows from it: the line the monitor shows, the
// sound while an alarm waits to be acknowledged, a desktop notification at
// each start, repeat and end, an e-mail (when set up) at each start,
// acknowledgement and end, and what the trail keeps. The monitor window
// shows what it says and asks it to acknowledge or stop.
class TAlarmGuard : public QObject {
    Q_OBJECT
public:
    // loggerLabel: the label of the logger the measurements come from, named in notices and the trail.
    TAlarmGuard(const TAlarmSettings& settings, const TMailSettings& mail, const TUserLimitsHolder& limits,
                std::function<QString()> loggerLabel, QObject* parent = nullptr);

    const TAlarmSettings& settings() const { return watch_.settings(); }
    void setSettings(const TAlarmSettings& settings);
    void setMailSettings(const TMailSettings& mail);
    // What dates an acknowledgement or a stop: the wall clock, or a test's virtual one.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    void take(const TLiveMeasurement& measurement);
    void acknowledge(const QString& comment);
    // The monitor stopped watching, for the reason given: its standing alarms end.
    void stop(const QString& reason);

    std::vector<TAlarm> standing() const { return watch_.standing(); }
    bool unacknowledged() const { return watch_.unacknowledged(); }
    // The monitor's status line: the standing alarms, or when the readings
    // came back after the last one, and why the last notice could not be
    // sent if it could not; empty before any alarm.
    QString statusText() const;

signals:
    // The standing alarms or what is known of them changed.
    void changed();
    // A new alarm started: the monitor comes to the front and asks for attention.
    void raised();
    // For the trail, under the logger's label.
    void noted(const QString& label, TAlarmNoticeKind kind, const QString& detail);
    void noticeFailed(const QString& label, const QString& reason);

private:
    // byReadings: the notices come from a measurement, not from the user.
    void handle(const std::vector<TAlarmNotice>& notices, bool byReadings);

    TAlarmWatch watch_;
    TAlarmSound* sound_;
    TDesktopNotifier* notifier_;
    TAlarmMailer* mailer_;
    const TUserLimitsHolder& limits_;
    std::function<QString()> loggerLabel_;
    std::function<QDateTime()> clock_ = &QDateTime::currentDateTime;
    QDateTime restoredAt_;
    QString noticeFailure_;
};

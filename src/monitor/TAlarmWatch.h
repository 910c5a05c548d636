#pragma once

#include "data/MeasurementLimits.h"
#include "monitor/AlarmSettings.h"
#include "monitor/TLivePoll.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>
#include <vector>

enum class TAlarmCause { Above, Below, Silent };

// One reading beyond one limit, or a silent logger: pending from `since`
// until it has stood for the delay, then standing until the readings are
// back (`startedAt` valid). Values in tenths, of the channel in `slot`
// (ChannelSlot; -1 for a silent logger).
struct TAlarm {
    TAlarmCause cause = TAlarmCause::Silent;
    int slot = -1;
    int limit = 0;
    QDateTime since;
    QDateTime startedAt;
    int startValue = 0;
    int value = 0;
    // The farthest beyond the limit the reading went.
    int extreme = 0;
    bool acknowledged = false;
    // The start or the last repeat.
    QDateTime notifiedAt;

    bool standing() const { return startedAt.isValid(); }
};

enum class TAlarmNoticeKind { Start, Repeat, Acknowledge, End };

// What became of an alarm, for the user, the notices and the trail.
struct TAlarmNotice {
    TAlarmNoticeKind kind = TAlarmNoticeKind::Start;
    TAlarm alarm;
    QDateTime at;
    // An acknowledgement's comment; an end's reason when the readings did not end it.
    QString comment = {};
};

// Holds each poll cycle's measurement against the limits in use: a channel
// beyond a limit, or a logger giving no reading, for the settings' delay
// raises an alarm; it ends once the channel reads within the limit again
// (or the logger answers). A channel missing from a cycle (its value out of
// range) neither starts nor ends one. An alarm nobody acknowledged is
// notified again every `repeatMinutes`. Works on the measurements' own
// times, so tests run it in virtual time.
class TAlarmWatch {
public:
    explicit TAlarmWatch(const TAlarmSettings& settings = {});

    // Takes effect from the next measurement; turning alarms off ends the standing ones.
    std::vector<TAlarmNotice> setSettings(const TAlarmSettings& settings, const QDateTime& at);
    const TAlarmSettings& settings() const { return settings_; }

    std::vector<TAlarmNotice> take(const TLiveMeasurement& measurement, const TUserLimits& limits);
    // Every standing alarm not yet acknowledged; nothing when there is none.
    std::vector<TAlarmNotice> acknowledge(const QDateTime& at, const QString& comment);
    // The watch stops (the monitor stopped): the standing alarms end with the reason, pending ones are dropped.
    std::vector<TAlarmNotice> stop(const QDateTime& at, const QString& reason);

    std::vector<TAlarm> standing() const;
    // A standing alarm waits for someone to acknowledge it.
    bool unacknowledged() const;

private:
    // Two limits of each channel, then the silent logger.
    static constexpr size_t SilentIndex = 6;

    void follow(size_t index, TAlarmCause cause, int slot, int value, int limit, const QDateTime& at,
                std::vector<TAlarmNotice>& notices);
    void end(size_t index, const QDateTime& at, const QString& reason, std::vector<TAlarmNotice>& notices);
    void startOrRepeat(TAlarm& alarm, const QDateTime& at, std::vector<TAlarmNotice>& notices) const;

    TAlarmSettings settings_;
    std::array<std::optional<TAlarm>, SilentIndex + 1> alarms_;
};

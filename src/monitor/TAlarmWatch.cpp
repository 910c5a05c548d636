#include "monitor/TAlarmWatch.h"

#include <algorithm>

namespace {

int lowerLimit(const TUserLimits& limits, int slot)
{
    return slot == 0 ? limits.temperatureMin : slot == 1 ? limits.humidityMin : limits.pressureMin;
}

int upperLimit(const TUserLimits& limits, int slot)
{
    return slot == 0 ? limits.temperatureMax : slot == 1 ? limits.humidityMax : limits.pressureMax;
}

} // namespace

TAlarmWatch::TAlarmWatch(const TAlarmSettings& settings)
    : settings_(settings)
{
}

std::vector<TAlarmNotice> TAlarmWatch::setSettings(const TAlarmSettings& settings, const QDateTime& at)
{
    settings_ = settings;
    std::vector<TAlarmNotice> notices;
    for (size_t index = 0; index < alarms_.size(); ++index) {
        const bool channelUnwatched = index < SilentIndex && !settings_.watched[index / 2];
        if (!settings_.enabled || channelUnwatched)
            end(index, at, settings_.enabled ? QStringLiteral("канал больше не наблюдается")
                                             : QStringLiteral("оповещения выключены"),
                notices);
    }
    return notices;
}

std::vector<TAlarmNotice> TAlarmWatch::take(const TLiveMeasurement& measurement, const TUserLimits& limits)
{
    std::vector<TAlarmNotice> notices;
    if (!settings_.enabled)
        return notices;
    const QDateTime& at = measurement.at;
    if (measurement.answered()) {
        end(SilentIndex, at, QString(), notices);
        for (int slot = 0; slot < int(measurement.tenths.size()); ++slot) {
            const std::optional<int>& value = measurement.tenths[size_t(slot)];
            if (!value || !settings_.watched[size_t(slot)])
                continue;
            follow(size_t(slot) * 2, TAlarmCause::Above, slot, *value, upperLimit(limits, slot), at, notices);
            follow(size_t(slot) * 2 + 1, TAlarmCause::Below, slot, *value, lowerLimit(limits, slot), at, notices);
        }
    } else {
        std::optional<TAlarm>& silent = alarms_[SilentIndex];
        if (!silent)
            silent = TAlarm{.cause = TAlarmCause::Silent, .since = at};
        startOrRepeat(*silent, at, notices);
    }
    // Alarms of channels the cycle did not read still repeat.
    for (size_t index = 0; index < SilentIndex; ++index) {
        if (alarms_[index] && alarms_[index]->standing() && !measurement.tenths[index / 2])
            startOrRepeat(*alarms_[index], at, notices);
    }
    return notices;
}

void TAlarmWatch::follow(size_t index, TAlarmCause cause, int slot, int value, int limit, const QDateTime& at,
                         std::vector<TAlarmNotice>& notices)
{
    std::optional<TAlarm>& alarm = alarms_[index];
    const bool beyond = cause == TAlarmCause::Above ? value > limit : value < limit;
    if (!beyond) {
        if (alarm)
            alarm->value = value;
        end(index, at, QString(), notices);
        return;
    }
    if (!alarm)
        alarm = TAlarm{.cause = cause, .slot = slot, .since = at, .extreme = value};
    alarm->limit = limit;
    alarm->value = value;
    alarm->extreme = cause == TAlarmCause::Above ? std::max(alarm->extreme, value) : std::min(alarm->extreme, value);
    startOrRepeat(*alarm, at, notices);
}

void TAlarmWatch::startOrRepeat(TAlarm& alarm, const QDateTime& at, std::vector<TAlarmNotice>& notices) const
{
    if (!alarm.standing()) {
        if (alarm.since.secsTo(at) < settings_.delaySeconds)
            return;
        alarm.startedAt = at;
        alarm.startValue = alarm.value;
        alarm.notifiedAt = at;
        notices.push_back({TAlarmNoticeKind::Start, alarm, at});
    } else if (!alarm.acknowledged && settings_.repeatMinutes > 0
               && alarm.notifiedAt.secsTo(at) >= qint64(settings_.repeatMinutes) * 60) {
        alarm.notifiedAt = at;
        notices.push_back({TAlarmNoticeKind::Repeat, alarm, at});
    }
}

void TAlarmWatch::end(size_t index, const QDateTime& at, const QString& reason, std::vector<TAlarmNotice>& notices)
{
    std::optional<TAlarm>& alarm = alarms_[index];
    if (alarm && alarm->standing())
        notices.push_back({TAlarmNoticeKind::End, *alarm, at, reason});
    alarm.reset();
}

std::vector<TAlarmNotice> TAlarmWatch::acknowledge(const QDateTime& at, const QString& comment)
{
    std::vector<TAlarmNotice> notices;
    for (std::optional<TAlarm>& alarm : alarms_) {
        if (alarm && alarm->standing() && !alarm->acknowledged) {
            alarm->acknowledged = true;
            notices.push_back({TAlarmNoticeKind::Acknowledge, *alarm, at, comment});
        }
    }
    return notices;
}

std::vector<TAlarmNotice> TAlarmWatch::stop(const QDateTime& at, const QString& reason)
{
    std::vector<TAlarmNotice> notices;
    for (size_t index = 0; index < alarms_.size(); ++index)
        end(index, at, reason, notices);
    return notices;
}

std::vector<TAlarm> TAlarmWatch::standing() const
{
    std::vector<TAlarm> result;
    for (const std::optional<TAlarm>& alarm : alarms_) {
        if (alarm && alarm->standing())
            result.push_back(*alarm);
    }
    return result;
}

bool TAlarmWatch::unacknowledged() const
{
    return std::ranges::any_of(alarms_, [](const std::optional<TAlarm>& alarm) {
        return alarm && alarm->standing() && !alarm->acknowledged;
    });
}

#include "monitor/AlarmSettings.h"

namespace {

const char* const WatchedKeys[] = {"Alarm/WatchTemperature", "Alarm/WatchHumidity", "Alarm/WatchPressure"};

int storedNumber(const QSettings& settings, const char* key, int fallback, int highest)
{
    bool ok = false;
    const int value = settings.value(QLatin1String(key), fallback).toInt(&ok);
    return ok && value >= 0 && value <= highest ? value : fallback;
}

} // namespace

TAlarmSettings StoredAlarmSettings(const QSettings& settings)
{
    TAlarmSettings alarm;
    alarm.enabled = settings.value(QStringLiteral("Alarm/Enabled"), true).toBool();
    alarm.delaySeconds = storedNumber(settings, "Alarm/DelaySeconds", TAlarmSettings::DefaultDelaySeconds,
                                      TAlarmSettings::LongestDelaySeconds);
    alarm.repeatMinutes = storedNumber(settings, "Alarm/RepeatMinutes", TAlarmSettings::DefaultRepeatMinutes,
                                       TAlarmSettings::LongestRepeatMinutes);
    for (size_t slot = 0; slot < alarm.watched.size(); ++slot)
        alarm.watched[slot] = settings.value(QLatin1String(WatchedKeys[slot]), true).toBool();
    return alarm;
}

void StoreAlarmSettings(QSettings& settings, const TAlarmSettings& alarm)
{
    settings.setValue(QStringLiteral("Alarm/Enabled"), alarm.enabled);
    settings.setValue(QStringLiteral("Alarm/DelaySeconds"), alarm.delaySeconds);
    settings.setValue(QStringLiteral("Alarm/RepeatMinutes"), alarm.repeatMinutes);
    for (size_t slot = 0; slot < alarm.watched.size(); ++slot)
        settings.setValue(QLatin1String(WatchedKeys[slot]), alarm.watched[slot]);
}

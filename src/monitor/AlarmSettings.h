#pragma once

#include <QSettings>

#include <array>

// How the monitor raises alarms, kept in the program's settings: whether it
// does, how long a reading must stay beyond a limit (or the logger silent)
// before it does, how often an alarm nobody acknowledged is notified again,
// and which channels are watched (slots of ChannelSlot: temperature,
// humidity, pressure; a logger without a pressure sensor has its pressure
// unticked).
struct TAlarmSettings {
    static constexpr int DefaultDelaySeconds = 300;
    static constexpr int DefaultRepeatMinutes = 15;
    static constexpr int LongestDelaySeconds = 24 * 3600;
    static constexpr int LongestRepeatMinutes = 24 * 60;

    bool enabled = true;
    int delaySeconds = DefaultDelaySeconds; // 0: at once
    int repeatMinutes = DefaultRepeatMinutes; // 0: never again
    std::array<bool, 3> watched = {true, true, true};

    bool operator==(const TAlarmSettings&) const = default;
};

// What is kept, values out of range or unreadable replaced by the defaults.
TAlarmSettings StoredAlarmSettings(const QSettings& settings);
void StoreAlarmSettings(QSettings& settings, const TAlarmSettings& alarm);

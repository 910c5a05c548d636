#pragma once

// The critical levels the chart draws as lines and the limit excursions
// count against while neither the user nor the logger gave others, in
// tenths of a degree, of a percent and of a kPa. The pressure levels are
// the bounds of normal atmospheric pressure; the logger keeps none.
inline constexpr int LimitTMax = 369;
inline constexpr int LimitTMin = 123;
inline constexpr int LimitRHMax = 674;
inline constexpr int LimitRHMin = 216;
inline constexpr int LimitPMax = 1067;
inline constexpr int LimitPMin = 840;

// The levels the chart, the excursions and the reports count against, in
// tenths: the constants above until others are set.
struct TUserLimits {
    int temperatureMin = LimitTMin;
    int temperatureMax = LimitTMax;
    int humidityMin = LimitRHMin;
    int humidityMax = LimitRHMax;
    int pressureMin = LimitPMin;
    int pressureMax = LimitPMax;

    bool operator==(const TUserLimits&) const = default;
};

#pragma once

// The critical levels the chart draws as lines and the limit excursions
// count against, in tenths of a degree and of a percent.
inline constexpr int LimitTMax = 369;
inline constexpr int LimitTMin = 123;
inline constexpr int LimitRHMax = 674;
inline constexpr int LimitRHMin = 216;

// The levels the excursions and the reports count against, in tenths: the
// constants above until the user sets others.
struct TUserLimits {
    int temperatureMin = LimitTMin;
    int temperatureMax = LimitTMax;
    int humidityMin = LimitRHMin;
    int humidityMax = LimitRHMax;

    bool operator==(const TUserLimits&) const = default;
};

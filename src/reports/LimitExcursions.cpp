#include "reports/LimitExcursions.h"

#include "data/MeasurementStore.h"

std::array<TLimit, ExcursionLimitCount> ExcursionLimits(const TUserLimits& limits)
{
    return {TLimit{ChannelTemperature, limits.temperatureMax, true},
            TLimit{ChannelTemperature, limits.temperatureMin, false},
            TLimit{ChannelHumidity, limits.humidityMax, true},
            TLimit{ChannelHumidity, limits.humidityMin, false},
            TLimit{ChannelPressure, limits.pressureMax, true},
            TLimit{ChannelPressure, limits.pressureMin, false}};
}


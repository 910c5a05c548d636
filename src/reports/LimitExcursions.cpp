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

QString DurationText(qint64 seconds)
{
    const QChar zero(u'0');
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, zero)
        .arg(seconds % 60, 2, 10, zero);
}

#include "reports/LimitExcursions.h"

#include "data/MeasurementLimits.h"
#include "data/MeasurementStore.h"

std::array<TLimit, 4> ChartLimits()
{
    return {TLimit{ChannelTemperature, LimitTMax, true},
            TLimit{ChannelTemperature, LimitTMin, false},
            TLimit{ChannelHumidity, LimitRHMax, true},
            TLimit{ChannelHumidity, LimitRHMin, false}};
}

QString DurationText(qint64 seconds)
{
    const QChar zero(u'0');
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, zero)
        .arg(seconds % 60, 2, 10, zero);
}

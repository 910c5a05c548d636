#include "reports/LimitExcursions.h"

#include "data/MeasurementStore.h"

std::array<TLimit, 4> ChartLimits()
{
    return {TLimit{ChannelTemperature, TMeasurementStore::LimitTMax, true},
            TLimit{ChannelTemperature, TMeasurementStore::LimitTMin, false},
            TLimit{ChannelHumidity, TMeasurementStore::LimitRHMax, true},
            TLimit{ChannelHumidity, TMeasurementStore::LimitRHMin, false}};
}

QString DurationText(qint64 seconds)
{
    const QChar zero(u'0');
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, zero)
        .arg(seconds % 60, 2, 10, zero);
}

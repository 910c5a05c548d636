#include "reports/LimitExcursions.h"

#include "data/MeasurementStore.h"

std::array<TLimit, 4> ChartLimits()
{
    return {TLimit{ChannelTemperature, TMeasurementStore::LimitTMax, true},
            TLimit{ChannelTemperature, TMeasurementStore::LimitTMin, false},
            TLimit{ChannelHumidity, TMeasurementStore::LimitRHMax, true},
            TLimit{ChannelHumidity, TMeasurementStore::LimitRHMin, false}};
}

TExcursions ComputeExcursions(const TMeasurementStore& store, const TLimit& limit)
{
    const TRecordList& records = store.records();
    TExcursions excursions;
    bool previousBeyond = false;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const std::optional<int> value = records.channelValue(limit.channel, i);
        const bool beyond = value && (limit.upper ? *value > limit.tenths : *value < limit.tenths);
        if (beyond) {
            const TCompactRecord& record = records.at(i);
            excursions.seconds += qint64(record.repeatCount) * IntervalSeconds(record.intervalAndChannels >> 4);
            if (!previousBeyond)
                ++excursions.count;
        }
        previousBeyond = beyond;
    }
    return excursions;
}

QString DurationText(qint64 seconds)
{
    const QChar zero(u'0');
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, zero)
        .arg(seconds % 60, 2, 10, zero);
}

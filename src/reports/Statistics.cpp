#include "reports/Statistics.h"

#include "data/CellFormatter.h"
#include "data/MeasurementStore.h"
#include "reports/MeanKineticTemperature.h"
#include "text/FormatLocale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

struct ChannelAccumulator {
    qint64 sumTenths = 0;
    qint64 rows = 0;
    int maximum = 0;
    int minimum = 0;

    void add(int tenths, int count)
    {
        if (rows == 0) {
            maximum = tenths;
            minimum = tenths;
        } else {
            maximum = std::max(maximum, tenths);
            minimum = std::min(minimum, tenths);
        }
        sumTenths += qint64(tenths) * count;
        rows += count;
    }

    TChannelStatistics result() const
    {
        if (rows == 0)
            return {};
        return TChannelStatistics{maximum / 10.0, double(sumTenths) / 10.0 / double(rows), minimum / 10.0, rows,
                                  sumTenths};
    }
};

// From a thousand up a value keeps four significant digits, no tenth.
constexpr qint64 FourDigitTenths = 10000;

// Rounds numerator / denominator to an integer, half away from zero; the
// denominator is positive.
qint64 roundedQuotient(qint64 numerator, qint64 denominator)
{
    const qint64 magnitude = (2 * std::abs(numerator) + denominator) / (2 * denominator);
    return numerator < 0 ? -magnitude : magnitude;
}

// Whole tenths as fixed-point text with one decimal.
QString tenthsText(qint64 tenths, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(double(tenths) / 10.0, 'f', 1);
}

} // namespace

TStatistics ComputeStatistics(const TMeasurementStore& store)
{
    TStatistics statistics;
    statistics.rowCount = store.DataRowCount();
    if (statistics.rowCount == 0)
        return statistics;
    statistics.firstTime = store.rowValues(0).time;
    statistics.lastTime = store.rowValues(statistics.rowCount - 1).time;

    std::array<ChannelAccumulator, 3> accumulators;
    const TRecordList& records = store.records();
    for (qsizetype i = 0; i < records.size(); ++i) {
        const TCompactRecord record = records.at(i);
        const int mask = record.intervalAndChannels;
        if (mask & ChannelTemperature)
            accumulators[0].add(record.temperature, record.repeatCount);
        if (mask & ChannelHumidity)
            accumulators[1].add(record.humidity, record.repeatCount);
        if (mask & ChannelPressure)
            accumulators[2].add(record.pressure, record.repeatCount);
    }
    for (size_t channel = 0; channel < accumulators.size(); ++channel)
        statistics.channels[channel] = accumulators[channel].result();
    return statistics;
}

qint64 StatisticValueTenths(double value)
{
    if (std::abs(value) * 10.0 >= double(FourDigitTenths))
        return std::llround(value) * 10;
    return std::llround(value * 10.0);
}

qint64 StatisticMeanTenths(qint64 sumTenths, qint64 count)
{
    const qint64 tenths = roundedQuotient(sumTenths, count);
    if (std::abs(tenths) >= FourDigitTenths)
        return roundedQuotient(sumTenths, count * 10) * 10;
    return tenths;
}

QString StatisticValueText(double value, const QLocale& locale)
{
    return tenthsText(StatisticValueTenths(value), locale);
}

QString StatisticMeanText(qint64 sumTenths, qint64 count, const QLocale& locale)
{
    return tenthsText(StatisticMeanTenths(sumTenths, count), locale);
}

QStringList StatisticsCaptions()
{
    return {QStringLiteral("Начало измерений"),
            QStringLiteral("Конец измерений"),
            QStringLiteral("Количество измерений"),
            QStringLiteral("Максимальная темепература, *С"),
            QStringLiteral("Средняя темепература, *С"),
            QStringLiteral("Минимальная темепература, *С"),
            QStringLiteral("Максимальная влажность, %"),
            QStringLiteral("Средняя влажность,%"),
            QStringLiteral("Минимальная влажность, %"),
            QStringLiteral("Максимальное давление, кПа"),
            QStringLiteral("Среднее давление, кПа"),
            QStringLiteral("Минимальное давление, кПа")};
}

std::array<std::optional<qint64>, 9> StatisticsFigureTenths(const TStatistics& statistics)
{
    std::array<std::optional<qint64>, 9> figures;
    for (size_t slot = 0; slot < statistics.channels.size(); ++slot) {
        const TChannelStatistics& channel = statistics.channels[slot];
        if (channel.presentRows == 0)
            continue;
        figures[3 * slot] = StatisticValueTenths(*channel.maximum);
        figures[3 * slot + 1] = StatisticMeanTenths(channel.sumTenths, channel.presentRows);
        figures[3 * slot + 2] = StatisticValueTenths(*channel.minimum);
    }
    return figures;
}

QStringList StatisticsTexts(const TStatistics& statistics, const TCellFormatter& formatter)
{
    const auto momentText = [&formatter](const std::optional<qint64>& time) {
        return time ? formatter.timeText(*time) + u' ' + formatter.dateText(*time) : QString();
    };
    QStringList texts{momentText(statistics.firstTime), momentText(statistics.lastTime),
                      QString::number(statistics.rowCount)};
    for (const std::optional<qint64>& tenths : StatisticsFigureTenths(statistics))
        texts << (tenths ? tenthsText(*tenths, formatter.locale()) : NoValueText);
    return texts;
}

QStringList MetrologyCaptions(const QLocale& locale, const TUserLimits& limits)
{
    QStringList captions{QStringLiteral("Средняя кинетическая температура, *С")};
    const auto unit = [](TChannelBit channel) {
        switch (channel) {
        case ChannelTemperature:
            return QStringLiteral(" *С");
        case ChannelHumidity:
            return QStringLiteral(" %");
        case ChannelPressure:
            return QStringLiteral(" кПа");
        }
        return QString();
    };
    for (const TLimit& limit : ExcursionLimits(limits)) {
        const QString level = tenthsText(limit.tenths, locale) + unit(limit.channel);
        const QString side = limit.upper ? QStringLiteral("выше ") : QStringLiteral("ниже ");
        captions << QStringLiteral("Время ") + side + level << QStringLiteral("Выходов ") + side + level;
    }
    return captions;
}

QString LimitsChangeText(const TUserLimits& before, const TUserLimits& after, const QLocale& locale)
{
    struct Channel {
        const char* name;
        int TUserLimits::*min;
        int TUserLimits::*max;
        const char* unit;
    };
    static constexpr Channel Channels[] = {
        {"t", &TUserLimits::temperatureMin, &TUserLimits::temperatureMax, "°C"},
        {"RH", &TUserLimits::humidityMin, &TUserLimits::humidityMax, "%"},
        {"P", &TUserLimits::pressureMin, &TUserLimits::pressureMax, "кПа"},
    };
    const auto range = [&locale](const TUserLimits& limits, const Channel& channel) {
        return tenthsText(limits.*channel.min, locale) + u'…' + tenthsText(limits.*channel.max, locale);
    };
    QStringList changes;
    for (const Channel& channel : Channels) {
        if (before.*channel.min == after.*channel.min && before.*channel.max == after.*channel.max)
            continue;
        changes << QStringLiteral("%1: %2 → %3 %4")
                       .arg(QLatin1String(channel.name), range(before, channel), range(after, channel),
                            QString::fromUtf8(channel.unit));
    }
    return changes.join(QStringLiteral("; "));
}

TMetrology ComputeMetrology(const TMeasurementStore& store, const TUserLimits& limits)
{
    const std::array<TLimit, ExcursionLimitCount> levels = ExcursionLimits(limits);
    std::vector<TExcursionTracker> trackers(levels.begin(), levels.end());
    TKineticTemperature kinetic;
    const TRecordList& records = store.records();
    for (qsizetype i = 0; i < records.size(); ++i) {
        const TCompactRecord record = records.at(i);
        const qint64 seconds = qint64(record.repeatCount) * IntervalSeconds(record.intervalAndChannels >> 4);
        for (TExcursionTracker& tracker : trackers)
            tracker.add(record, seconds);
        kinetic.add(record, seconds);
    }
    TMetrology metrology{kinetic.value(), {}};
    for (size_t limit = 0; limit < trackers.size(); ++limit)
        metrology.excursions[limit] = trackers[limit].excursions();
    return metrology;
}

QStringList MetrologyTexts(const TMeasurementStore& store, const QLocale& locale, const TUserLimits& limits)
{
    const TMetrology metrology = ComputeMetrology(store, limits);
    QStringList texts{metrology.kineticTemperature ? StatisticValueText(*metrology.kineticTemperature, locale)
                                                   : NoValueText};
    for (const TExcursions& excursions : metrology.excursions)
        texts << DurationText(excursions.seconds) << QString::number(excursions.count);
    return texts;
}

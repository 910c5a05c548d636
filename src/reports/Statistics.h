#pragma once

#include "reports/LimitExcursions.h"

#include <QLocale>
#include <QStringList>

#include <array>
#include <optional>

class TCellFormatter;
class TMeasurementStore;

// Maximum, average and minimum of one channel over the rows that carry it;
// all empty when no row does. Values in the channel's unit (tenths / 10).
struct TChannelStatistics {
    std::optional<double> maximum;
    std::optional<double> average;
    std::optional<double> minimum;
    qint64 presentRows = 0;
    qint64 sumTenths = 0; // the exact sum the average comes from
};

// The summary the statistics window and the spreadsheet report show: first
// and last row time, the row count and the three channels in the order
// temperature, humidity, pressure.
struct TStatistics {
    qint64 rowCount = 0;
    std::optional<qint64> firstTime;
    std::optional<qint64> lastTime;
    std::array<TChannelStatistics, 3> channels;
};

// One pass over the store's records, each weighted by the rows it stands for;
// the row table is never expanded. Sums are kept exactly in whole tenths, so
// a full log memory loses nothing to rounding.
TStatistics ComputeStatistics(const TMeasurementStore& store);

// A statistic value as the window shows it, in whole tenths: rounded once,
// half away from zero, to one decimal, or to four significant digits from
// 1000 up (101.325 -> 1013, 23.46 -> 235, 1234.56 -> 12350).
qint64 StatisticValueTenths(double value);
// The same for a mean given exactly as a sum of tenths over a count of rows
// (count > 0): no binary fraction comes between the sum and the shown tenth.
qint64 StatisticMeanTenths(qint64 sumTenths, qint64 count);

// Those tenths as the window writes them: fixed-point with one decimal and
// the locale's separator (101.325 -> "101,3", 5 -> "5,0", 1234.56 -> "1235,0").
QString StatisticValueText(double value, const QLocale& locale);
QString StatisticMeanText(qint64 sumTenths, qint64 count, const QLocale& locale);

// Shown for a channel that no row carries.
inline const QString NoValueText = QStringLiteral("—");

// The twelve row captions, as the statistics window and the report head them.
QStringList StatisticsCaptions();

// The nine channel figures in window order, maximum, average and minimum of
// each channel, in whole tenths rounded as shown; none for a channel no row carries.
std::array<std::optional<qint64>, 9> StatisticsFigureTenths(const TStatistics& statistics);

// The twelve value texts in window order: start, end, count, then the nine
// channel figures. With no rows the times are empty.
QStringList StatisticsTexts(const TStatistics& statistics, const TCellFormatter& formatter);

// The figures of those lines for the shown rows: the mean kinetic temperature
// (empty without a temperature) and the excursions beyond each limit, in the
// order of ExcursionLimits(). One pass over the records for all of them.
struct TMetrology {
    std::optional<double> kineticTemperature;
    std::array<TExcursions, ExcursionLimitCount> excursions;
};
TMetrology ComputeMetrology(const TMeasurementStore& store, const TUserLimits& limits = {});

// The lines below the twelve: the mean kinetic temperature, then for each
// limit the time beyond it and the number of excursions ("Время выше 36,9 *С",
// "Выходов выше 36,9 *С", "Время ниже 84,0 кПа").
QStringList MetrologyCaptions(const QLocale& locale, const TUserLimits& limits = {});

// The values of those lines for the shown rows; durations as "ч:мм:сс".
QStringList MetrologyTexts(const TMeasurementStore& store, const QLocale& locale, const TUserLimits& limits = {});

// What a change of the limits moved, each channel whose limits differ as
// "t: 2,0…8,0 → 2,0…6,0 °C", joined by "; "; empty when none differs.
QString LimitsChangeText(const TUserLimits& before, const TUserLimits& after, const QLocale& locale);

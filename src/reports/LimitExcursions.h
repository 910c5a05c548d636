#pragma once

#include "data/LogRecord.h"

#include <QLocale>
#include <QString>

#include <array>

class TMeasurementStore;

// A critical level of a channel, in tenths; an upper one is crossed by values
// strictly above it, a lower one by values strictly below.
struct TLimit {
    TChannelBit channel = ChannelTemperature;
    int tenths = 0;
    bool upper = true;
};

// The critical levels the chart draws, in the order TMax, TMin, RHMax, RHMin.
std::array<TLimit, 4> ChartLimits();

// Time spent beyond a limit and how often it was crossed: the rows beyond it
// weigh their recording interval each (the last row of the log too), and
// every maximal run of consecutive rows beyond it is one excursion. A row
// without the channel ends a run.
struct TExcursions {
    qint64 seconds = 0;
    qint64 count = 0;
};

// One pass over the shown records, each standing for its repeated rows.
TExcursions ComputeExcursions(const TMeasurementStore& store, const TLimit& limit);

// A duration as "ч:мм:сс", hours unbounded ("0:00:05", "125:03:00").
QString DurationText(qint64 seconds);

#pragma once

#include "data/MeasurementLimits.h"
#include "data/RecordList.h"

#include <QLocale>
#include <QString>

#include <array>

// A critical level of a channel, in tenths; an upper one is crossed by values
// strictly above it, a lower one by values strictly below.
struct TLimit {
    TChannelBit channel = ChannelTemperature;
    int tenths = 0;
    bool upper = true;
};

// The levels the excursions count against, in the order TMax, TMin, RHMax,
// RHMin, PMax, PMin.
constexpr size_t ExcursionLimitCount = 6;
std::array<TLimit, ExcursionLimitCount> ExcursionLimits(const TUserLimits& limits);

// Time spent beyond a limit and how often it was crossed: the rows beyond it
// weigh their recording interval each (the last row of the log too), and
// every maximal run of consecutive rows beyond it is one excursion. A row
// without the channel ends a run.
struct TExcursions {
    qint64 seconds = 0;
    qint64 count = 0;
};

// Follows one limit along the shown records in order, each standing for its
// repeated rows, so that one pass over the records serves every limit.
class TExcursionTracker
{
public:
    explicit TExcursionTracker(const TLimit& limit) : limit_(limit) {}

    // The next record, whose rows last `seconds` together.
    void add(const TCompactRecord& record, qint64 seconds)
    {
        const std::optional<int> value = record.value(limit_.channel);
        const bool beyond = value && isBeyond(*value);
        if (beyond) {
            excursions_.seconds += seconds;
            excursions_.count += previousBeyond_ ? 0 : 1;
        }
        previousBeyond_ = beyond;
    }

    const TExcursions& excursions() const { return excursions_; }

private:
    bool isBeyond(int tenths) const { return limit_.upper ? tenths > limit_.tenths : tenths < limit_.tenths; }

    TLimit limit_;
    TExcursions excursions_;
    bool previousBeyond_ = false;
};


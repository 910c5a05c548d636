#pragma once

#include "data/RecordList.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

// Activation energy and gas constant of the mean kinetic temperature.
constexpr double KineticActivationEnergy = 83144.0; // J/mol
constexpr double GasConstant = 8.314462618;         // J/(mol·K)

// The mean kinetic temperature of the shown rows' temperatures, gathered
// record by record. Every row weighs its own recording interval, the last row
// of a record and of the log included: a row stands for the interval it
// opens, and a pause between records counts for nothing. The time spent at
// each temperature is summed exactly, so the exponential is taken once per
// temperature that occurs, not once per record.
class TKineticTemperature
{
public:
    TKineticTemperature();

    // The next record, whose rows last `seconds` together.
    void add(const TCompactRecord& record, qint64 seconds)
    {
        if (!(record.intervalAndChannels & ChannelTemperature))
            return;
        const int tenths = record.temperature;
        secondsAt_[size_t(tenths - std::numeric_limits<qint16>::min())] += seconds;
        lowest_ = std::min(lowest_, tenths);
        highest_ = std::max(highest_, tenths);
    }

    // In °C; empty when no row carries a temperature.
    std::optional<double> value() const;

private:
    std::vector<qint64> secondsAt_; // seconds per temperature in tenths, from the lowest qint16
    int lowest_ = std::numeric_limits<int>::max();
    int highest_ = std::numeric_limits<int>::min();
};

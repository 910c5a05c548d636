#include "reports/MeanKineticTemperature.h"

#include "data/MeasurementStore.h"

#include <cmath>

namespace {

constexpr double KelvinOffset = 273.15;
constexpr double ActivationTemperature = KineticActivationEnergy / GasConstant;

double kelvin(int tenths)
{
    return tenths / 10.0 + KelvinOffset;
}

} // namespace

std::optional<double> MeanKineticTemperature(const TMeasurementStore& store)
{
    const TRecordList& records = store.records();
    // Factors are taken relative to the first temperature, so a long cold log
    // cannot drive the exponentials toward the smallest doubles.
    std::optional<double> reference;
    double weightedFactors = 0.0;
    double weights = 0.0;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const TCompactRecord& record = records.at(i);
        if (!(record.intervalAndChannels & ChannelTemperature))
            continue;
        const double inverse = 1.0 / kelvin(record.temperature);
        if (!reference)
            reference = inverse;
        const double weight = double(record.repeatCount) * IntervalSeconds(record.intervalAndChannels >> 4);
        weightedFactors += weight * std::exp(-ActivationTemperature * (inverse - *reference));
        weights += weight;
    }
    if (!reference || weights <= 0.0)
        return std::nullopt;
    const double logMean = std::log(weightedFactors / weights) - ActivationTemperature * *reference;
    return ActivationTemperature / -logMean - KelvinOffset;
}

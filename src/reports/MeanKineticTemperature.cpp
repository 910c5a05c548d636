#include "reports/MeanKineticTemperature.h"

#include <cmath>

namespace {

constexpr double KelvinOffset = 273.15;
constexpr double ActivationTemperature = KineticActivationEnergy / GasConstant;
constexpr size_t TemperatureCount = size_t(std::numeric_limits<quint16>::max()) + 1;

double kelvin(int tenths)
{
    return tenths / 10.0 + KelvinOffset;
}

} // namespace

TKineticTemperature::TKineticTemperature()
    : secondsAt_(TemperatureCount, 0)
{
}

std::optional<double> TKineticTemperature::value() const
{
    // Factors are taken relative to the highest temperature, so a long cold
    // log cannot drive the exponentials toward the smallest doubles.
    double weightedFactors = 0.0;
    qint64 weights = 0;
    const double reference = 1.0 / kelvin(highest_);
    for (int tenths = lowest_; tenths <= highest_; ++tenths) {
        const qint64 seconds = secondsAt_[size_t(tenths - std::numeric_limits<qint16>::min())];
        if (seconds == 0)
            continue;
        weightedFactors += double(seconds) * std::exp(-ActivationTemperature * (1.0 / kelvin(tenths) - reference));
        weights += seconds;
    }
    if (weights == 0)
        return std::nullopt;
    const double logMean = std::log(weightedFactors / double(weights)) - ActivationTemperature * reference;
    return ActivationTemperature / -logMean - KelvinOffset;
}

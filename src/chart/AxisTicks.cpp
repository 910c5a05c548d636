#include "chart/AxisTicks.h"

#include <cmath>

double NiceStep(double raw)
{
    if (!(raw > 0) || !std::isfinite(raw))
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0}) {
        // The tolerance keeps 0.3 / 0.1 style rounding from skipping a step.
        if (factor * power >= raw * (1 - 1e-9))
            return factor * power;
    }
    return 10 * power;
}

TValueTicks PlanValueTicks(TChartRange range, double pixelLength, double minSpacing)
{
    TValueTicks ticks;
    if (!(pixelLength > 0) || !(range.span() > 0))
        return ticks;
    ticks.step = NiceStep(range.span() * minSpacing / pixelLength);
    ticks.decimals = std::max(0, int(-std::floor(std::log10(ticks.step) + 1e-9)));
    const double tolerance = ticks.step * 1e-9;
    for (double n = std::ceil(range.min / ticks.step - 1e-9); n * ticks.step <= range.max + tolerance; ++n)
        ticks.values.push_back(n * ticks.step);
    return ticks;
}

TLabelTicks PlanLabelTicks(TIndexSpan visible, double pixelsPerPoint, double labelWidth)
{
    TLabelTicks ticks;
    if (visible.isEmpty() || !(pixelsPerPoint > 0) || !(labelWidth > 0))
        return ticks;
    ticks.step = std::max<qint64>(1, qint64(std::ceil(NiceStep(labelWidth / pixelsPerPoint) - 1e-9)));
    // A step below one point rounds up to one; 1, 2, 5 x 10^n stay whole from there.
    const qint64 firstMultiple = visible.first >= 0
        ? (visible.first + ticks.step - 1) / ticks.step * ticks.step
        : -((-visible.first) / ticks.step * ticks.step);
    for (qint64 index = firstMultiple; index <= visible.last; index += ticks.step)
        ticks.indices.push_back(index);
    return ticks;
}

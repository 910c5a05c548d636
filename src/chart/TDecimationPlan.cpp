#include "chart/TDecimationPlan.h"

#include <algorithm>
#include <cmath>

TDecimationPlan::TDecimationPlan(const TAxisMapping& bottom, int firstColumn, int lastColumn,
                                 TIndexSpan series)
    : bottom_(bottom)
    , firstColumn_(firstColumn)
    , lastColumn_(lastColumn)
    , series_(series)
{
    if (1.0 / std::abs(bottom.pixelsPerUnit()) >= DensePointsPerPixel) {
        mode_ = Mode::Columns;
        return;
    }
    const TChartRange range = bottom.values();
    polylinePoints_.first = std::max(series.first, clampedIndex(std::ceil(range.min)) - 1);
    polylinePoints_.last = std::min(series.last, clampedIndex(std::floor(range.max)) + 1);
}

TIndexSpan TDecimationPlan::columnPoints(int column) const
{
    // Point i belongs to the column its x rounds to: x in [column - 0.5, column + 0.5).
    const auto firstAtOrAfter = [this](double pixel) {
        return clampedIndex(std::ceil(bottom_.toValue(pixel)));
    };
    TIndexSpan points{firstAtOrAfter(column - 0.5), firstAtOrAfter(column + 0.5) - 1};
    points.first = std::max(points.first, series_.first);
    points.last = std::min(points.last, series_.last);
    return points;
}

#include "views/TChartPageSeries.h"

TChartPageSeries::TChartPageSeries(const TMeasurementStore& store, TSeriesKind kind, const TUserLimits& limits)
    : texts_(store)
    , series_(store, kind, limits)
{
}

TChartPageSeries::TChartPageSeries(const TRowSpanView& period, TSeriesKind kind, const TUserLimits& limits)
    : texts_(period.store())
    , period_(&period)
    , series_(period, kind, limits)
{
}

QString TChartPageSeries::label(qint64 index) const
{
    if (index < 0 || index >= pointCount())
        return {};
    if (period_)
        return texts_.formatter().pointLabel(period_->rowValues(index).time);
    return texts_.pointLabel(index);
}

std::optional<TChartRange> TChartPageSeries::range(qint64 first, qint64 last) const
{
    const std::optional<TSeriesRange> found = series_.range(first, last);
    if (!found)
        return std::nullopt;
    return TChartRange{found->min, found->max};
}

#pragma once

#include "chart/ChartSeriesSource.h"
#include "data/MeasurementSeries.h"

// A series of the chart page read in place from the store, or from a period's
// filtered view of it. After a load a point is labelled with its record's
// base time, as the store labels it; in a period with the row's own time.
// A limit series stands at its level of `limits`.
class TChartPageSeries : public ChartSeriesSource
{
public:
    TChartPageSeries(const TMeasurementStore& store, TSeriesKind kind, const TUserLimits& limits);
    TChartPageSeries(const TRowSpanView& period, TSeriesKind kind, const TUserLimits& limits);

    qint64 pointCount() const override { return series_.pointCount(); }
    std::optional<double> value(qint64 index) const override { return series_.value(index); }
    QString label(qint64 index) const override;
    std::optional<TChartRange> range(qint64 first, qint64 last) const override;

private:
    TRowTexts texts_;
    const TRowSpanView* period_ = nullptr;
    TMeasurementSeries series_;
};

#pragma once

#include "data/MeasurementLimits.h"
#include "data/MeasurementStore.h"
#include "data/RowSpanView.h"
#include "data/RowTexts.h"
#include "data/SeriesSource.h"

// The nine series of the data viewer's chart: the three channels and two limit lines of each.
enum class TSeriesKind { T, RH, P, TLMax, TLMin, RHLMax, RHLMin, PLMax, PLMin };

// A chart series as a view on the store's rows (one point per data row), or
// on the rows of a filtered view. A channel the row's record does not carry
// is a null point with an empty label; limit series are constant, at their
// level of `limits`.
class TMeasurementSeries : public SeriesSource
{
public:
    TMeasurementSeries(const TMeasurementStore& store, TSeriesKind kind, const TUserLimits& limits = {});
    TMeasurementSeries(const TRowSpanView& view, TSeriesKind kind, const TUserLimits& limits = {});

    qint64 pointCount() const override;
    std::optional<double> value(qint64 index) const override;
    QString label(qint64 index) const override;
    std::optional<TSeriesRange> range(qint64 first, qint64 last) const override;

private:
    qint64 storeRow(qint64 index) const { return view_ ? view_->storeRow(index) : index; }
    std::optional<int> tenths(qint64 index) const;

    const TMeasurementStore& store_;
    TRowTexts texts_;
    const TRowSpanView* view_ = nullptr;
    std::optional<TChannelBit> channel_; // measurement series
    int limitTenths_ = 0; // limit series
};

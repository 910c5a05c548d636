#include "data/MeasurementSeries.h"

#include <algorithm>

namespace {

std::optional<TChannelBit> channelOf(TSeriesKind kind)
{
    switch (kind) {
    case TSeriesKind::T:
        return ChannelTemperature;
    case TSeriesKind::RH:
        return ChannelHumidity;
    case TSeriesKind::P:
        return ChannelPressure;
    default:
        return std::nullopt;
    }
}

int limitOf(TSeriesKind kind, const TUserLimits& limits)
{
    switch (kind) {
    case TSeriesKind::TLMax:
        return limits.temperatureMax;
    case TSeriesKind::TLMin:
        return limits.temperatureMin;
    case TSeriesKind::RHLMax:
        return limits.humidityMax;
    case TSeriesKind::RHLMin:
        return limits.humidityMin;
    case TSeriesKind::PLMax:
        return limits.pressureMax;
    case TSeriesKind::PLMin:
        return limits.pressureMin;
    default:
        return 0;
    }
}

double fromTenths(int tenths)
{
    return tenths / 10.0;
}

} // namespace

TMeasurementSeries::TMeasurementSeries(const TMeasurementStore& store, TSeriesKind kind, const TUserLimits& limits)
    : store_(store)
    , texts_(store)
    , channel_(channelOf(kind))
    , limitTenths_(limitOf(kind, limits))
{
}

TMeasurementSeries::TMeasurementSeries(const TRowSpanView& view, TSeriesKind kind, const TUserLimits& limits)
    : TMeasurementSeries(view.store(), kind, limits)
{
    view_ = &view;
}

qint64 TMeasurementSeries::pointCount() const
{
    return view_ ? view_->rowCount() : store_.DataRowCount();
}

std::optional<int> TMeasurementSeries::tenths(qint64 index) const
{
    if (index < 0 || index >= pointCount())
        return std::nullopt;
    if (!channel_)
        return limitTenths_;
    return store_.records().channelValue(*channel_, store_.locateRow(storeRow(index)).record);
}

std::optional<double> TMeasurementSeries::value(qint64 index) const
{
    const std::optional<int> raw = tenths(index);
    return raw ? std::optional<double>(fromTenths(*raw)) : std::nullopt;
}

QString TMeasurementSeries::label(qint64 index) const
{
    return tenths(index) ? texts_.pointLabel(storeRow(index)) : QString();
}

std::optional<TSeriesRange> TMeasurementSeries::range(qint64 first, qint64 last) const
{
    first = std::max<qint64>(first, 0);
    last = std::min(last, pointCount() - 1);
    if (first > last)
        return std::nullopt;
    std::optional<TValueRange> tenthsRange;
    if (!channel_)
        tenthsRange = TValueRange{limitTenths_, limitTenths_};
    else if (view_)
        tenthsRange = view_->channelRange(*channel_, first, last);
    else
        tenthsRange = store_.channelRange(*channel_, store_.locateRow(first).record, store_.locateRow(last).record);
    if (!tenthsRange)
        return std::nullopt;
    return TSeriesRange{fromTenths(tenthsRange->min), fromTenths(tenthsRange->max)};
}

#include "chart/TListSeriesSource.h"

#include <algorithm>

TListSeriesSource::TListSeriesSource(qint64 capacity)
    : capacity_(std::max<qint64>(capacity, 0))
{
}

void TListSeriesSource::append(std::optional<double> value, const QString& label)
{
    points_.push_back({value, label});
    if (capacity_ > 0 && qint64(points_.size()) > capacity_) {
        points_.pop_front();
        ++firstIndex_;
    }
}

void TListSeriesSource::clear()
{
    points_.clear();
    firstIndex_ = 0;
}

const TListSeriesSource::Point* TListSeriesSource::pointAt(qint64 index) const
{
    if (!indices().contains(index))
        return nullptr;
    return &points_[size_t(index - firstIndex_)];
}

std::optional<double> TListSeriesSource::value(qint64 index) const
{
    const Point* point = pointAt(index);
    return point ? point->value : std::nullopt;
}

QString TListSeriesSource::label(qint64 index) const
{
    const Point* point = pointAt(index);
    return point ? point->label : QString();
}

std::optional<TChartRange> TListSeriesSource::range(qint64 first, qint64 last) const
{
    const TIndexSpan kept = indices();
    first = std::max(first, kept.first);
    last = std::min(last, kept.last);
    std::optional<TChartRange> result;
    for (qint64 index = first; index <= last; ++index) {
        const std::optional<double>& value = points_[size_t(index - firstIndex_)].value;
        if (!value)
            continue;
        if (!result)
            result = TChartRange{*value, *value};
        result->min = std::min(result->min, *value);
        result->max = std::max(result->max, *value);
    }
    return result;
}

#include "chart/TChartModel.h"

#include <algorithm>
#include <cmath>

namespace {

// An axis over values that are all equal gets a unit of room each way, so
// the line runs through the middle instead of collapsing onto an edge.
TChartRange withRoom(TChartRange range)
{
    if (range.span() > 0)
        return range;
    return {range.min - 1, range.max + 1};
}

} // namespace

int TChartModel::addSeries(const TChartSeriesStyle& style, const ChartSeriesSource* source)
{
    series_.push_back({style, source, true});
    return seriesCount() - 1;
}

void TChartModel::setSeriesSource(int index, const ChartSeriesSource* source)
{
    series_.at(size_t(index)).source = source;
}

void TChartModel::setSeriesStyle(int index, const TChartSeriesStyle& style)
{
    series_.at(size_t(index)).style = style;
}

void TChartModel::setSeriesVisible(int index, bool visible)
{
    series_.at(size_t(index)).visible = visible;
}

bool TChartModel::setBottomRange(TChartRange range)
{
    if (!(range.max >= range.min))
        return false;
    bottomRange_ = range;
    bottomAutomatic_ = false;
    return true;
}

void TChartModel::setBottomAutomatic()
{
    bottomAutomatic_ = true;
}

TChartRange TChartModel::bottomRange() const
{
    if (!bottomAutomatic_)
        return bottomRange_;
    std::optional<TChartRange> all;
    for (const TChartSeries& series : series_) {
        if (!series.visible || !series.hasPoints())
            continue;
        const TIndexSpan span = series.source->indices();
        all = all ? TChartRange{std::min(all->min, double(span.first)), std::max(all->max, double(span.last))}
                  : TChartRange{double(span.first), double(span.last)};
    }
    return all.value_or(TChartRange{});
}

bool TChartModel::setLeftRange(TChartRange range)
{
    if (!(range.max >= range.min))
        return false;
    leftRange_ = range;
    leftFixed_ = true;
    return true;
}

void TChartModel::setLeftAutomatic()
{
    leftFixed_ = false;
}

TChartRange TChartModel::verticalRange(TChartAxisSide side) const
{
    if (side == TChartAxisSide::Left && leftFixed_)
        return leftRange_;
    std::optional<TChartRange> all;
    for (int index = 0; index < seriesCount(); ++index) {
        const TChartSeries& series = series_[size_t(index)];
        if (!series.visible || series.style.axis != side || !series.hasPoints())
            continue;
        const TIndexSpan span = visibleSpan(index);
        if (span.isEmpty())
            continue;
        const std::optional<TChartRange> found = series.source->range(span.first, span.last);
        if (!found)
            continue;
        all = all ? TChartRange{std::min(all->min, found->min), std::max(all->max, found->max)} : *found;
    }
    return all ? withRoom(*all) : TChartRange{0, 1};
}

bool TChartModel::hasShownSeries(TChartAxisSide side) const
{
    return std::any_of(series_.begin(), series_.end(), [side](const TChartSeries& series) {
        return series.visible && series.style.axis == side;
    });
}

TIndexSpan TChartModel::spanInRange(const TChartSeries& series, TChartRange range) const
{
    if (!series.hasPoints())
        return {};
    const TIndexSpan all = series.source->indices();
    return {std::max(all.first, clampedIndex(std::ceil(range.min))),
            std::min(all.last, clampedIndex(std::floor(range.max)))};
}

TIndexSpan TChartModel::visibleSpan(int index) const
{
    return spanInRange(series_.at(size_t(index)), bottomRange());
}

TIndexSpan TChartModel::visibleSpan() const
{
    const TChartRange range = bottomRange();
    std::optional<TIndexSpan> all;
    for (const TChartSeries& series : series_) {
        if (!series.visible)
            continue;
        const TIndexSpan span = spanInRange(series, range);
        if (span.isEmpty())
            continue;
        all = all ? TIndexSpan{std::min(all->first, span.first), std::max(all->last, span.last)} : span;
    }
    return all.value_or(TIndexSpan{});
}

QString TChartModel::labelAt(qint64 index) const
{
    for (const TChartSeries& series : series_) {
        if (!series.visible || !series.hasPoints() || !series.source->indices().contains(index))
            continue;
        QString label = series.source->label(index);
        if (!label.isEmpty())
            return label;
    }
    return {};
}

TChartAxisTitle& TChartModel::axisTitle(TChartAxisSide side)
{
    return side == TChartAxisSide::Left ? leftTitle_ : rightTitle_;
}

const TChartAxisTitle& TChartModel::axisTitle(TChartAxisSide side) const
{
    return side == TChartAxisSide::Left ? leftTitle_ : rightTitle_;
}

void TChartModel::setCursorLine(std::optional<double> bottomValue, const QPen& pen)
{
    cursorLine_ = bottomValue;
    cursorLinePen_ = pen;
}

std::span<const qint64> TChartModel::breaksIn(TIndexSpan points) const
{
    if (points.isEmpty())
        return {};
    const auto first = std::lower_bound(breaks_.begin(), breaks_.end(), points.first);
    const auto end = std::upper_bound(first, breaks_.end(), points.last);
    return {first, end};
}

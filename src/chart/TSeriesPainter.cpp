#include "chart/TSeriesPainter.h"

#include "chart/TDecimationPlan.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A bar's rows are clamped just outside the plot, so far-off values stay
// valid integers; the painter's clip cuts them to the plot.
int toRow(double pixel, const QRect& plot)
{
    return int(std::lround(std::clamp(pixel, plot.top() - 16.0, plot.bottom() + 16.0)));
}

// A line's points go much further out, so that a segment leaving the plot
// keeps its slope where it crosses the border.
double toLineY(double pixel, const QRect& plot)
{
    const double room = 1000.0 * std::max(plot.height(), 1);
    return std::clamp(pixel, plot.top() - room, plot.bottom() + room);
}

} // namespace

TSeriesPainter::TSeriesPainter(const TAxisMapping& bottom, const TAxisMapping& vertical, const QRect& plot,
                               std::span<const qint64> breaks)
    : bottom_(bottom)
    , vertical_(vertical)
    , plot_(plot)
    , breaks_(breaks)
{
}

void TSeriesPainter::paint(QPainter& painter, const TChartSeries& series) const
{
    if (!series.visible || !series.hasPoints())
        return;
    const TDecimationPlan plan(bottom_, plot_.left(), plot_.right(), series.source->indices());
    if (plan.mode() == TDecimationPlan::Mode::Polyline)
        paintPolyline(painter, series, plan.polylinePoints());
    else
        paintColumns(painter, series, plan);
}

void TSeriesPainter::paintPolyline(QPainter& painter, const TChartSeries& series, TIndexSpan points) const
{
    painter.setPen(QPen(series.style.color, series.style.width, series.style.penStyle, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    std::vector<QPointF> run;
    const auto flush = [&] {
        if (run.size() == 1)
            painter.drawPoint(run.front());
        else if (run.size() > 1)
            painter.drawPolyline(run.data(), int(run.size()));
        run.clear();
    };
    auto nextBreak = std::upper_bound(breaks_.begin(), breaks_.end(), points.first);
    for (qint64 index = points.first; index <= points.last; ++index) {
        if (nextBreak != breaks_.end() && *nextBreak == index) {
            flush();
            ++nextBreak;
        }
        const std::optional<double> value = series.source->value(index);
        if (!value) {
            flush();
            continue;
        }
        run.emplace_back(bottom_.toPixel(double(index)), toLineY(vertical_.toPixel(*value), plot_));
    }
    flush();
}

void TSeriesPainter::paintColumns(QPainter& painter, const TChartSeries& series, const TDecimationPlan& plan) const
{
    const int firstColumn = plan.firstColumn();
    const int lastColumn = plan.lastColumn();
    const int width = std::max(series.style.width, 1);
    const int before = (width - 1) / 2;
    std::vector<QRect> bars;
    bars.reserve(size_t(lastColumn - firstColumn + 1));
    // Rows of the previous bar, to join the two where they do not touch.
    std::optional<std::pair<int, int>> previous;
    const auto addBar = [&](int column, TIndexSpan points) {
        const std::optional<TChartRange> range =
            points.isEmpty() ? std::nullopt : series.source->range(points.first, points.last);
        if (!range) {
            previous.reset();
            return;
        }
        const int top = toRow(vertical_.toPixel(range->max), plot_);
        const int bottom = toRow(vertical_.toPixel(range->min), plot_);
        int joinedTop = std::min(top, bottom);
        int joinedBottom = std::max(top, bottom);
        if (previous) {
            joinedTop = std::min(joinedTop, previous->second);
            joinedBottom = std::max(joinedBottom, previous->first);
        }
        previous = std::pair{std::min(top, bottom), std::max(top, bottom)};
        bars.emplace_back(column - before, joinedTop - before, width, joinedBottom - joinedTop + width);
    };
    auto nextBreak = breaks_.begin();
    for (int column = firstColumn; column <= lastColumn; ++column) {
        const TIndexSpan points = plan.columnPoints(column);
        // A column that starts after a pause does not reach back to the one before.
        nextBreak = std::lower_bound(nextBreak, breaks_.end(), points.first);
        if (nextBreak != breaks_.end() && *nextBreak == points.first) {
            previous.reset();
            ++nextBreak;
        }
        // A pause inside the column splits its bar in two that do not join;
        // where a column holds several, its one bar stands for all of them.
        const bool onePause = nextBreak != breaks_.end() && *nextBreak <= points.last
            && (std::next(nextBreak) == breaks_.end() || *std::next(nextBreak) > points.last);
        if (onePause) {
            addBar(column, {points.first, *nextBreak - 1});
            previous.reset();
            addBar(column, {*nextBreak, points.last});
        } else {
            addBar(column, points);
        }
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(series.style.color);
    painter.drawRects(bars.data(), int(bars.size()));
}

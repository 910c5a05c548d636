#include "chart/TChartPainter.h"

#include "chart/TBottomAxisLabels.h"
#include "chart/TChartLegend.h"
#include "chart/TSeriesPainter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

TChartPainter::TChartPainter(const TChartModel& model, TChartPaintMode mode)
    : model_(model)
    , mode_(mode)
{
}

void TChartPainter::paint(QPainter& painter, const QRect& area) const
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const TChartLayout layout(model_, area, metrics);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(area, Qt::white);
    paintGrid(painter, layout);
    paintValueAxis(painter, layout, TChartAxisSide::Left);
    if (layout.hasRightAxis())
        paintValueAxis(painter, layout, TChartAxisSide::Right);
    paintAxisTitle(painter, area.marginsRemoved(model_.margins()), TChartAxisSide::Left);
    if (layout.hasRightAxis())
        paintAxisTitle(painter, area.marginsRemoved(model_.margins()), TChartAxisSide::Right);
    paintBottomAxis(painter, layout, area);
    paintBreaks(painter, layout);
    paintSeries(painter, layout);
    paintEndLabels(painter, layout);
    TChartLegend(model_, metrics, mode_).paint(painter);
    painter.restore();
}

void TChartPainter::paintGrid(QPainter& painter, const TChartLayout& layout) const
{
    const QRect plot = layout.plot();
    const TAxisMapping mapping = layout.verticalMapping(TChartAxisSide::Left);
    painter.setPen(QPen(GridColor, 0, Qt::DotLine));
    for (double value : layout.ticks(TChartAxisSide::Left).values) {
        const int y = int(std::lround(mapping.toPixel(value)));
        painter.drawLine(plot.left(), y, plot.right(), y);
    }
}

void TChartPainter::paintValueAxis(QPainter& painter, const TChartLayout& layout, TChartAxisSide side) const
{
    const QRect plot = layout.plot();
    const bool left = side == TChartAxisSide::Left;
    const int axisX = left ? plot.left() : plot.right();
    const int direction = left ? -1 : 1;
    painter.setPen(AxisColor);
    painter.drawLine(axisX, plot.top(), axisX, plot.bottom());
    const TAxisMapping mapping = layout.verticalMapping(side);
    const TValueTicks& ticks = layout.ticks(side);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const int textHeight = int(std::ceil(metrics.height()));
    const int textEdge = axisX + direction * (TChartLayout::TickLength + TChartLayout::LabelGap);
    for (double value : ticks.values) {
        const int y = int(std::lround(mapping.toPixel(value)));
        painter.setPen(AxisColor);
        painter.drawLine(axisX, y, axisX + direction * TChartLayout::TickLength, y);
        const QString text = TChartLayout::tickText(value, ticks.decimals);
        const int width = int(std::ceil(metrics.horizontalAdvance(text)));
        const QRect box(left ? textEdge - width : textEdge, y - textHeight / 2, width, textHeight);
        painter.setPen(Qt::black);
        painter.drawText(box, (left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
    }
}

void TChartPainter::paintAxisTitle(QPainter& painter, const QRect& area, TChartAxisSide side) const
{
    const TChartAxisTitle& title = model_.axisTitle(side);
    if (title.text.isEmpty())
        return;
    const QFontMetricsF metrics(painter.font(), painter.device());
    const int lineHeight = int(std::ceil(metrics.height()));
    const int x = side == TChartAxisSide::Left ? area.left() : area.right() - lineHeight;
    // Turned 90 degrees: the text reads upward along the axis.
    painter.save();
    painter.translate(x, area.center().y());
    painter.rotate(-90);
    painter.setPen(title.color);
    painter.drawText(QRect(-area.height() / 2, 0, area.height(), lineHeight), Qt::AlignCenter, title.text);
    painter.restore();
}

void TChartPainter::paintBottomAxis(QPainter& painter, const TChartLayout& layout, const QRect& area) const
{
    const QRect plot = layout.plot();
    painter.setPen(AxisColor);
    painter.drawLine(plot.left(), plot.bottom(), plot.right(), plot.bottom());
    const QFontMetricsF metrics(painter.font(), painter.device());
    const int lineHeight = int(std::ceil(metrics.height()));
    const TBottomAxisLabels labels(model_, layout, area, metrics);
    for (const TBottomLabel& label : labels.labels()) {
        painter.setPen(AxisColor);
        painter.drawLine(label.tickX, plot.bottom(), label.tickX, plot.bottom() + TChartLayout::TickLength);
        painter.setPen(Qt::black);
        for (int line = 0; line < label.lines.size(); ++line)
            painter.drawText(QRect(label.box.left(), label.box.top() + line * lineHeight, label.box.width(), lineHeight),
                             Qt::AlignCenter, label.lines[line]);
    }
}

// A pause between two points: a short faint mark up from the bottom axis
// between them, one per pixel column however many pauses the column covers.
void TChartPainter::paintBreaks(QPainter& painter, const TChartLayout& layout) const
{
    const std::span<const qint64> breaks = model_.breaksIn(model_.visibleSpan());
    const QRect plot = layout.plot();
    const TAxisMapping mapping = layout.bottomMapping();
    std::vector<QLine> marks;
    for (auto pause = breaks.begin(); pause != breaks.end();) {
        const int x = int(std::lround(mapping.toPixel(double(*pause) - 0.5)));
        if (x >= plot.left() && x <= plot.right())
            marks.emplace_back(x, plot.bottom() - BreakMarkHeight, x, plot.bottom());
        // On to the first pause drawn in a column to the right of this one.
        const double nextColumn = mapping.toValue(x + 0.5) + 0.5;
        pause = std::lower_bound(std::next(pause), breaks.end(), nextColumn,
                                 [](qint64 index, double value) { return double(index) < value; });
    }
    painter.setPen(QPen(BreakColor, 1));
    painter.drawLines(marks.data(), int(marks.size()));
}

void TChartPainter::paintSeries(QPainter& painter, const TChartLayout& layout) const
{
    painter.save();
    painter.setClipRect(layout.plot());
    const TAxisMapping bottom = layout.bottomMapping();
    for (int index = 0; index < model_.seriesCount(); ++index) {
        const TChartSeries& series = model_.series(index);
        TSeriesPainter(bottom, layout.verticalMapping(series.style.axis), layout.plot(), model_.breaks())
            .paint(painter, series);
    }
    const std::optional<double> cursor = model_.cursorLine();
    if (cursor && mode_ == TChartPaintMode::Screen) {
        const double x = bottom.toPixel(*cursor);
        painter.setPen(model_.cursorLinePen());
        painter.drawLine(QPointF(x, layout.plot().top()), QPointF(x, layout.plot().bottom()));
    }
    painter.restore();
}

QRect TChartPainter::endLabelBox(const QRect& plot, int lineY, QSize textSize, TChartAxisSide axis)
{
    const int left = axis == TChartAxisSide::Right
                         ? plot.left() + EndLabelInset
                         : std::max(plot.left() + 1, plot.right() - EndLabelInset - textSize.width());
    int top = lineY - EndLabelInset / 2 - textSize.height();
    if (top <= plot.top())
        top = lineY + EndLabelInset / 2;
    top = std::clamp(top, plot.top() + 1, std::max(plot.top() + 1, plot.bottom() - textSize.height()));
    return QRect(QPoint(left, top), textSize);
}

// Each shown series with an end label names its line at its end of the
// visible span (endLabelBox), so a reader knows which level a bare line draws.
void TChartPainter::paintEndLabels(QPainter& painter, const TChartLayout& layout) const
{
    const QRect plot = layout.plot();
    const QFontMetrics metrics(painter.font(), painter.device());
    for (int index = 0; index < model_.seriesCount(); ++index) {
        const TChartSeries& series = model_.series(index);
        if (!series.visible || !series.hasPoints() || series.style.endLabel.isEmpty())
            continue;
        const TChartAxisSide axis = series.style.axis;
        const TIndexSpan visible = model_.visibleSpan(index);
        const std::optional<double> value =
            series.source->value(axis == TChartAxisSide::Right ? visible.first : visible.last);
        if (!value)
            continue;
        const int y = int(std::lround(layout.verticalMapping(axis).toPixel(*value)));
        if (y < plot.top() || y > plot.bottom())
            continue;
        const QSize textSize(metrics.horizontalAdvance(series.style.endLabel), metrics.height());
        const QRect box = endLabelBox(plot, y, textSize, axis);
        // On the plot's white, so that no curve passing by makes it unreadable.
        painter.fillRect(box, Qt::white);
        painter.setPen(series.style.color);
        painter.drawText(box, (axis == TChartAxisSide::Right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                         series.style.endLabel);
    }
}

#include "chart/TChartPainter.h"

#include "chart/TChartLegend.h"
#include "chart/TSeriesPainter.h"

#include <QPainter>

#include <cmath>

TChartPainter::TChartPainter(const TChartModel& model)
    : model_(model)
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
    paintBottomAxis(painter, layout);
    paintSeries(painter, layout);
    TChartLegend(model_, metrics).paint(painter);
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

void TChartPainter::paintBottomAxis(QPainter& painter, const TChartLayout& layout) const
{
    const QRect plot = layout.plot();
    painter.setPen(AxisColor);
    painter.drawLine(plot.left(), plot.bottom(), plot.right(), plot.bottom());
    const TIndexSpan visible = model_.visibleSpan();
    if (visible.isEmpty())
        return;
    const QFontMetricsF metrics(painter.font(), painter.device());
    const auto linesOf = [this](qint64 index) { return model_.labelAt(index).split(QLatin1Char('\r')); };
    // The outermost labels stand for the rest: point labels share one format.
    double labelWidth = 0;
    for (qint64 index : {visible.first, visible.last}) {
        for (const QString& line : linesOf(index))
            labelWidth = std::max(labelWidth, metrics.horizontalAdvance(line));
    }
    const TAxisMapping mapping = layout.bottomMapping();
    const TLabelTicks ticks = planLabelTicks(visible, mapping.pixelsPerUnit(), labelWidth + 2 * metrics.averageCharWidth());
    const int lineHeight = int(std::ceil(metrics.height()));
    const int top = plot.bottom() + TChartLayout::TickLength + TChartLayout::LabelGap;
    const int width = int(std::ceil(labelWidth)) + 2;
    for (qint64 index : ticks.indices) {
        const int x = int(std::lround(mapping.toPixel(double(index))));
        painter.setPen(AxisColor);
        painter.drawLine(x, plot.bottom(), x, plot.bottom() + TChartLayout::TickLength);
        painter.setPen(Qt::black);
        const QStringList lines = linesOf(index);
        for (int line = 0; line < lines.size() && line < 2; ++line)
            painter.drawText(QRect(x - width / 2, top + line * lineHeight, width, lineHeight), Qt::AlignCenter,
                             lines[line]);
    }
}

void TChartPainter::paintSeries(QPainter& painter, const TChartLayout& layout) const
{
    painter.save();
    painter.setClipRect(layout.plot());
    const TAxisMapping bottom = layout.bottomMapping();
    for (int index = 0; index < model_.seriesCount(); ++index) {
        const TChartSeries& series = model_.series(index);
        TSeriesPainter(bottom, layout.verticalMapping(series.style.axis), layout.plot()).paint(painter, series);
    }
    if (const std::optional<double> cursor = model_.cursorLine()) {
        const double x = bottom.toPixel(*cursor);
        painter.setPen(model_.cursorLinePen());
        painter.drawLine(QPointF(x, layout.plot().top()), QPointF(x, layout.plot().bottom()));
    }
    painter.restore();
}

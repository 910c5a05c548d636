#include "chart/TBottomAxisLabels.h"

#include "chart/AxisTicks.h"

#include <algorithm>
#include <cmath>

namespace {

// Labels are planned from a width; the widest label shown may be wider than
// the one guessed, so the plan is redone with it a few times at most.
constexpr int WidthPasses = 4;

QStringList linesOf(const TChartModel& model, qint64 index)
{
    return model.labelAt(index).split(QLatin1Char('\r')).mid(0, 2);
}

double widestLine(const TChartModel& model, const std::vector<qint64>& indices, const QFontMetricsF& metrics)
{
    double width = 0;
    for (qint64 index : indices) {
        for (const QString& line : linesOf(model, index))
            width = std::max(width, metrics.horizontalAdvance(line));
    }
    return width;
}

} // namespace

TBottomAxisLabels::TBottomAxisLabels(const TChartModel& model, const TChartLayout& layout, const QRect& area,
                                     const QFontMetricsF& metrics)
{
    const TIndexSpan visible = model.visibleSpan();
    if (visible.isEmpty())
        return;
    const TAxisMapping mapping = layout.bottomMapping();
    const double gap = 2 * metrics.averageCharWidth();
    double labelWidth = widestLine(model, {visible.first, visible.last}, metrics);
    TLabelTicks ticks;
    for (int pass = 0; pass < WidthPasses; ++pass) {
        ticks = PlanLabelTicks(visible, mapping.pixelsPerUnit(), labelWidth + gap);
        const double widest = widestLine(model, ticks.indices, metrics);
        if (widest <= labelWidth)
            break;
        labelWidth = widest;
    }
    const int width = int(std::ceil(labelWidth)) + 2;
    const int lineHeight = int(std::ceil(metrics.height()));
    const int top = layout.plot().bottom() + TChartLayout::TickLength + TChartLayout::LabelGap;
    for (qint64 index : ticks.indices) {
        TBottomLabel label;
        label.index = index;
        label.tickX = int(std::lround(mapping.toPixel(double(index))));
        const int left = std::clamp(label.tickX - width / 2, area.left(), std::max(area.left(), area.right() + 1 - width));
        label.box = QRect(left, top, width, 2 * lineHeight);
        label.lines = linesOf(model, index);
        if (!labels_.empty() && labels_.back().box.intersects(label.box)) {
            // Only a box slid in from an edge can meet its neighbour: the edge one goes.
            if (label.tickX - width / 2 == left)
                labels_.pop_back();
            else
                continue;
        }
        labels_.push_back(label);
    }
}

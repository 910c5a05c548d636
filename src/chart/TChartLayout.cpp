#include "chart/TChartLayout.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

double labelsWidth(const TValueTicks& ticks, const QFontMetricsF& metrics)
{
    double width = 0;
    for (double value : ticks.values)
        width = std::max(width, metrics.horizontalAdvance(TChartLayout::tickText(value, ticks.decimals)));
    return width;
}

} // namespace

TChartLayout::TChartLayout(const TChartModel& model, const QRect& area, const QFontMetricsF& metrics)
    : hasRightAxis_(model.hasShownSeries(TChartAxisSide::Right))
    , bottom_(model.bottomRange())
    , left_(model.verticalRange(TChartAxisSide::Left))
    , right_(model.verticalRange(TChartAxisSide::Right))
{
    const QRect inner = area.marginsRemoved(model.margins());
    const int lineHeight = int(std::ceil(metrics.height()));
    // Two lines of bottom labels (time above date) below the ticks.
    const int top = inner.top() + lineHeight / 2;
    const int bottom = inner.bottom() - TickLength - LabelGap - 2 * lineHeight;
    const double height = std::max(bottom - top, 1);
    leftTicks_ = PlanValueTicks(left_, height, MinTickSpacing);
    rightTicks_ = PlanValueTicks(right_, height, MinTickSpacing);

    const auto sideWidth = [&](TChartAxisSide side, const TValueTicks& ticks) {
        const int title = model.axisTitle(side).text.isEmpty() ? 0 : lineHeight + LabelGap;
        return title + int(std::ceil(labelsWidth(ticks, metrics))) + TickLength + LabelGap;
    };
    const int left = inner.left() + sideWidth(TChartAxisSide::Left, leftTicks_);
    const int right = inner.right() - (hasRightAxis_ ? sideWidth(TChartAxisSide::Right, rightTicks_) : 0);
    plot_ = QRect(QPoint(left, top), QPoint(std::max(right, left + 1), std::max(bottom, top + 1)));
}

QString TChartLayout::tickText(double value, int decimals)
{
    // Avoid "-0" for a tick that lands on zero through rounding.
    return QLocale().toString(std::abs(value) < 1e-12 ? 0.0 : value, 'f', decimals);
}

TAxisMapping TChartLayout::bottomMapping() const
{
    return TAxisMapping(bottom_, plot_.left(), plot_.right());
}

TAxisMapping TChartLayout::verticalMapping(TChartAxisSide side) const
{
    return TAxisMapping(side == TChartAxisSide::Left ? left_ : right_, plot_.bottom(), plot_.top());
}

const TValueTicks& TChartLayout::ticks(TChartAxisSide side) const
{
    return side == TChartAxisSide::Left ? leftTicks_ : rightTicks_;
}

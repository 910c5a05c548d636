#pragma once

#include "chart/AxisTicks.h"
#include "chart/TAxisMapping.h"
#include "chart/TChartModel.h"

#include <QFontMetricsF>
#include <QRect>

// Where the parts of the chart go inside an area, for one font: the plot
// rectangle, the value axes' ranges and ticks. Worked out afresh for every
// paint and every pixel/value conversion, so it always matches the data.
class TChartLayout
{
public:
    static constexpr int TickLength = 4;
    static constexpr int LabelGap = 3;
    static constexpr double MinTickSpacing = 30;

    TChartLayout(const TChartModel& model, const QRect& area, const QFontMetricsF& metrics);

    QRect plot() const { return plot_; }
    bool hasRightAxis() const { return hasRightAxis_; }
    TAxisMapping bottomMapping() const;
    TAxisMapping verticalMapping(TChartAxisSide side) const;
    const TValueTicks& ticks(TChartAxisSide side) const;
    // Text of a tick value in the format locale, with the decimals its step needs.
    static QString tickText(double value, int decimals);

private:
    QRect plot_;
    bool hasRightAxis_ = false;
    TChartRange bottom_;
    TChartRange left_;
    TChartRange right_;
    TValueTicks leftTicks_;
    TValueTicks rightTicks_;
};

#pragma once

#include "chart/TChartLayout.h"
#include "chart/TChartModel.h"

#include <QFontMetricsF>
#include <QRect>
#include <QStringList>

#include <vector>

// A point label of the bottom axis: its tick and the box its lines fill.
struct TBottomLabel {
    qint64 index = 0;
    int tickX = 0;
    QRect box;
    QStringList lines; // the time above the date
};

// Which point labels the bottom axis shows and where. Every label gets a
// box as wide as the widest label shown, so no format (12- or 24-hour, long
// month names) is clipped; a box that would stick out of the chart's area
// slides back inside it, or is left out when that would cover its neighbour.
class TBottomAxisLabels
{
public:
    TBottomAxisLabels(const TChartModel& model, const TChartLayout& layout, const QRect& area,
                      const QFontMetricsF& metrics);

    const std::vector<TBottomLabel>& labels() const { return labels_; }

private:
    std::vector<TBottomLabel> labels_;
};

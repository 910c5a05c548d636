#pragma once

#include "chart/TAxisMapping.h"
#include "chart/TChartSeries.h"

#include <QRect>

#include <span>

class QPainter;
class TDecimationPlan;

// Draws one line series into the plot: a polyline broken at null points
// and at the chart's breaks where points are sparse, one min-max bar per pixel column where they are
// dense. Bars are filled rectangles as wide as the pen, all in one
// drawRects call, which looks like the wide line at a fraction of its cost.
class TSeriesPainter
{
public:
    // breaks: ascending point indices the line must not reach from the point before.
    TSeriesPainter(const TAxisMapping& bottom, const TAxisMapping& vertical, const QRect& plot,
                   std::span<const qint64> breaks);

    void paint(QPainter& painter, const TChartSeries& series) const;

private:
    void paintPolyline(QPainter& painter, const TChartSeries& series, TIndexSpan points) const;
    void paintColumns(QPainter& painter, const TChartSeries& series, const TDecimationPlan& plan) const;

    TAxisMapping bottom_;
    TAxisMapping vertical_;
    QRect plot_;
    std::span<const qint64> breaks_;
};

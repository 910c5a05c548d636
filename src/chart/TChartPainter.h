#pragma once

#include "chart/TChartLayout.h"
#include "chart/TChartModel.h"

class QPainter;

// Draws a chart model into any paint device: white background, grid lines of
// the left axis, axis lines, tick labels, titles, the two-line point labels
// of the bottom axis, faint marks on it at the breaks, the series clipped
// to the plot with the end labels of those that have one, and the legend.
class TChartPainter
{
public:
    static inline const QColor GridColor = QColor(224, 224, 224);
    static inline const QColor AxisColor = QColor(128, 128, 128);
    static inline const QColor BreakColor = QColor(200, 200, 200);
    static constexpr int BreakMarkHeight = 12;

    static constexpr int EndLabelInset = 4; // from the plot's side edge and from the line

    TChartPainter(const TChartModel& model, TChartPaintMode mode);

    // Where a series' end label of `textSize` goes for a line at `lineY`: just
    // above the line, or just below it where above would leave the plot; never
    // past the plot's edges. A line of the left axis is named at the plot's
    // right end, one of the right axis at its left end, so that lines of both
    // axes at one height, as where both axes end on a level, keep their names apart.
    static QRect endLabelBox(const QRect& plot, int lineY, QSize textSize,
                             TChartAxisSide axis = TChartAxisSide::Left);

    // The painter's font is the chart's font; area is in the painter's coordinates.
    void paint(QPainter& painter, const QRect& area) const;

private:
    void paintGrid(QPainter& painter, const TChartLayout& layout) const;
    void paintValueAxis(QPainter& painter, const TChartLayout& layout, TChartAxisSide side) const;
    void paintAxisTitle(QPainter& painter, const QRect& area, TChartAxisSide side) const;
    void paintBottomAxis(QPainter& painter, const TChartLayout& layout, const QRect& area) const;
    void paintBreaks(QPainter& painter, const TChartLayout& layout) const;
    void paintSeries(QPainter& painter, const TChartLayout& layout) const;
    void paintEndLabels(QPainter& painter, const TChartLayout& layout) const;

    const TChartModel& model_;
    TChartPaintMode mode_;
};

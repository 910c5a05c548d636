#pragma once

#include "chart/TChartModel.h"

#include <QFontMetricsF>
#include <QRect>

#include <vector>

class QPainter;

// The legend: one entry (check box, line sample, title) per series that is
// in the legend, side by side on a light yellow rounded panel with no
// frame, drawn over the plot at the model's position. Outputs leave the
// check boxes out: on paper they are not controls.
class TChartLegend
{
public:
    static inline const QColor Background = QColor(255, 255, 223);

    TChartLegend(const TChartModel& model, const QFontMetricsF& metrics,
                 TChartPaintMode mode = TChartPaintMode::Screen);

    bool isEmpty() const { return entries_.empty(); }
    QRect rect() const { return rect_; }
    // The series whose entry holds the point, or -1.
    int seriesAt(QPoint point) const;
    // The clickable area of a series' entry; empty when it has none.
    QRect entryRect(int series) const;
    void paint(QPainter& painter) const;

private:
    struct Entry {
        int series = 0;
        QRect area;
        QRect box;
        QRect sample;
        QRect text;
    };

    const TChartModel& model_;
    std::vector<Entry> entries_;
    QRect rect_;
};

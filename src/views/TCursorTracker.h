#pragma once

#include <QLocale>

class QLabel;
class TChart;

// The chart's cursor readout: a dotted line at the pointer across the left
// axis range and a white label beside the pointer naming the humidity,
// temperature and pressure of the nearest visible point.
class TCursorTracker
{
public:
    explicit TCursorTracker(QLocale locale);

    // Runs on every mouse move over the chart, before any pan step; the series
    // are given by their index in the chart.
    void TrackCursor(TChart* chart, int x, int y, int humiditySeries, int temperatureSeries, int pressureSeries);

    // Created on the first call and kept, as a child of the chart.
    QLabel* TrackingLabel() const { return trackingLabel_; }

private:
    QLocale locale_;
    QLabel* trackingLabel_ = nullptr;
};

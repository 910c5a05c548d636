#pragma once

#include <QLocale>
#include <QString>

#include <functional>

class QLabel;
class TChart;

// The chart's cursor readout: a dotted line at the pointer across the left
// axis range and a white label beside the pointer naming the date and time,
// humidity, temperature and pressure of the nearest visible point.
class TCursorTracker
{
public:
    // momentOf: the date and time text of a point of the chart's series.
    TCursorTracker(QLocale locale, std::function<QString(qint64 point)> momentOf);

    // Runs on every mouse move over the chart, before any pan step; the series
    // are given by their index in the chart.
    void TrackCursor(TChart* chart, int x, int y, int humiditySeries, int temperatureSeries, int pressureSeries);

    // Takes the line and the label off the chart until the next move over it.
    void hide(TChart* chart);

    // Created on the first call and kept, as a child of the chart.
    QLabel* TrackingLabel() const { return trackingLabel_; }

private:
    QLocale locale_;
    std::function<QString(qint64)> momentOf_;
    QLabel* trackingLabel_ = nullptr;
};

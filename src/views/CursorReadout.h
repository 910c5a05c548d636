#pragma once

#include "chart/ChartTypes.h"

#include <QLocale>
#include <QString>

#include <functional>
#include <optional>

// What the cursor readout reads of the chart for one pointer position.
struct TReadoutScene {
    double x = 0; // the pointer's x as a bottom-axis value
    double y = 0; // the pointer's y as a left-axis value
    TChartRange bottom;
    TChartRange left;
    TIndexSpan humidityPoints; // x values of the first and last point
    TIndexSpan temperaturePoints;
    TIndexSpan humidityVisible; // points inside the bottom axis range
    TIndexSpan temperatureVisible;
};

namespace CursorReadout {

// Whether the pointer stands over data that the readout can name: both
// series hold points, x lies strictly inside both series and the bottom
// axis, y strictly inside the left axis, and at least two points show.
bool coversData(const TReadoutScene& scene);

// The visible point nearest to x, walking from index x / step one point at a
// time while a neighbour is strictly nearer (a tie keeps the lower index).
// xOf gives a point's x value.
qint64 nearestPoint(double x, TIndexSpan visible, const std::function<double(qint64)>& xOf);

// The point the readout names, or nullopt when it shows nothing.
std::optional<qint64> readoutPoint(const TReadoutScene& scene, const std::function<double(qint64)>& xOf);

// "05.04.2017 14:00:00\nRH = 45,3%\nt = 21,5*C\nP = 99,8кПа": when the row
// was taken, then its values with the locale's decimal separator; a channel
// the record lacks reads "—" and its unit ("P = — кПа"), not a number never
// measured.
QString readoutText(const QString& moment, std::optional<double> humidity, std::optional<double> temperature,
                    std::optional<double> pressure, const QLocale& locale);

} // namespace CursorReadout

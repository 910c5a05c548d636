#pragma once

#include "chart/ChartTypes.h"
#include "chart/TAxisMapping.h"

// How one series is drawn across the plot's pixel columns. Where points are
// sparser than DensePointsPerPixel the points are joined by a polyline;
// otherwise every column draws the min-max bar of the points it covers
// (one range query per column), so the cost follows the plot's width, not
// the number of points.
class TDecimationPlan
{
public:
    enum class Mode { Polyline, Columns };
    static constexpr double DensePointsPerPixel = 2.0;

    // bottom maps point indices to pixel x; columns are the plot's pixel
    // columns; series holds the indices the series has.
    TDecimationPlan(const TAxisMapping& bottom, int firstColumn, int lastColumn, TIndexSpan series);

    Mode mode() const { return mode_; }
    // Polyline: the points to join, one beyond each edge of the axis range
    // so the line runs on to the plot's border.
    TIndexSpan polylinePoints() const { return polylinePoints_; }
    int firstColumn() const { return firstColumn_; }
    int lastColumn() const { return lastColumn_; }
    // Columns: the points whose x rounds to this pixel column, clipped to
    // the series; columns partition the points without overlap.
    TIndexSpan columnPoints(int column) const;

private:
    TAxisMapping bottom_;
    int firstColumn_;
    int lastColumn_;
    TIndexSpan series_;
    Mode mode_ = Mode::Polyline;
    TIndexSpan polylinePoints_;
};

#pragma once

#include "chart/ChartTypes.h"

// Linear mapping between an axis' values and pixel positions: the range's
// minimum sits at one pixel, its maximum at another (above it for a
// vertical axis). A range of zero width maps as if it were one unit wide.
class TAxisMapping
{
public:
    TAxisMapping(TChartRange values, double pixelAtMin, double pixelAtMax);

    double toPixel(double value) const { return pixelAtMin_ + (value - values_.min) * pixelsPerUnit_; }
    double toValue(double pixel) const { return values_.min + (pixel - pixelAtMin_) / pixelsPerUnit_; }
    // Signed: negative where pixels grow toward smaller values.
    double pixelsPerUnit() const { return pixelsPerUnit_; }
    TChartRange values() const { return values_; }

private:
    TChartRange values_;
    double pixelAtMin_;
    double pixelsPerUnit_;
};

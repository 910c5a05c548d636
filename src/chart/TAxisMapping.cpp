#include "chart/TAxisMapping.h"

TAxisMapping::TAxisMapping(TChartRange values, double pixelAtMin, double pixelAtMax)
    : values_(values)
    , pixelAtMin_(pixelAtMin)
{
    const double span = values.span() > 0 ? values.span() : 1.0;
    const double pixels = pixelAtMax != pixelAtMin ? pixelAtMax - pixelAtMin : 1.0;
    pixelsPerUnit_ = pixels / span;
}

#pragma once

#include "chart/ChartTypes.h"

#include <vector>

// Ticks of a value axis: round values 1, 2 or 5 x 10^n apart.
struct TValueTicks {
    double step = 0;
    int decimals = 0; // digits after the separator that the step needs
    std::vector<double> values;
};

// Bottom-axis labels: every step-th point index, so labels stay put while panning.
struct TLabelTicks {
    qint64 step = 0;
    std::vector<qint64> indices;
};

// Smallest of 1, 2, 5 x 10^n (n may be negative) not below raw.
double NiceStep(double raw);

// Ticks inside range, at least minSpacing pixels apart on an axis pixelLength long.
TValueTicks PlanValueTicks(TChartRange range, double pixelLength, double minSpacing);

// Indices of visible points to label so that labels labelWidth pixels wide
// (gap included) never overlap, points being pixelsPerPoint apart.
TLabelTicks PlanLabelTicks(TIndexSpan visible, double pixelsPerPoint, double labelWidth);

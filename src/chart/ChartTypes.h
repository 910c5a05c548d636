#pragma once

#include <QtGlobal>

#include <algorithm>
#include <limits>

// A closed range of axis values.
struct TChartRange {
    double min = 0;
    double max = 0;

    double span() const { return max - min; }
    bool operator==(const TChartRange&) const = default;
};

// A closed range of point indices; empty when first > last.
struct TIndexSpan {
    qint64 first = 0;
    qint64 last = -1;

    bool isEmpty() const { return first > last; }
    qint64 count() const { return isEmpty() ? 0 : last - first + 1; }
    bool contains(qint64 index) const { return index >= first && index <= last; }
    bool operator==(const TIndexSpan&) const = default;
};

// The index at a bottom-axis value already rounded to a whole number,
// clamped so that absurd axis ranges still give valid integers.
inline qint64 clampedIndex(double wholeValue)
{
    constexpr double limit = double(std::numeric_limits<qint64>::max() / 2);
    return qint64(std::clamp(wholeValue, -limit, limit));
}

enum class TChartAxisSide { Left, Right };

// What a paint is for: the screen shows the user's tools (the cursor line,
// the legend's check boxes); an output (image, page, print) shows the data only.
enum class TChartPaintMode { Screen, Output };

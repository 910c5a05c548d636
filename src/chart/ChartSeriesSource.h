#pragma once

#include "chart/ChartTypes.h"

#include <QString>

#include <optional>

// The points of one series as the chart reads them, in place and never copied.
// Points have consecutive indices starting at firstIndex(); the index is the
// point's bottom-axis value. range() must be cheap (about O(log n)) because a
// paint asks it once per pixel column.
class ChartSeriesSource
{
public:
    virtual ~ChartSeriesSource() = default;

    virtual qint64 firstIndex() const { return 0; }
    virtual qint64 pointCount() const = 0;
    // The value at an index, nullopt for a null point (a gap in the line).
    virtual std::optional<double> value(qint64 index) const = 0;
    // Time and date separated by "\r": the bottom axis shows them in two lines.
    virtual QString label(qint64 index) const = 0;
    // Smallest and largest value among points first..last, nullopt when all are null.
    virtual std::optional<TChartRange> range(qint64 first, qint64 last) const = 0;

    TIndexSpan indices() const { return {firstIndex(), firstIndex() + pointCount() - 1}; }
};

// Lets any class with the same four reading functions (and a range result
// holding min and max) stand for a chart series without copying its points.
template <class Source>
class TChartSeriesAdapter : public ChartSeriesSource
{
public:
    explicit TChartSeriesAdapter(const Source& source)
        : source_(source)
    {
    }

    qint64 pointCount() const override { return source_.pointCount(); }
    std::optional<double> value(qint64 index) const override { return source_.value(index); }
    QString label(qint64 index) const override { return source_.label(index); }
    std::optional<TChartRange> range(qint64 first, qint64 last) const override
    {
        const auto found = source_.range(first, last);
        if (!found)
            return std::nullopt;
        return TChartRange{double(found->min), double(found->max)};
    }

private:
    const Source& source_;
};

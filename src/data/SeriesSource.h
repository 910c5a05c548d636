#pragma once

#include <QString>

#include <optional>

struct TSeriesRange {
    double min = 0;
    double max = 0;
};

// One chart series read in place: points are indices 0..pointCount-1, each a
// value or a null (a gap) with a label, and the range over any index span.
class SeriesSource
{
public:
    virtual ~SeriesSource() = default;
    virtual qint64 pointCount() const = 0;
    virtual std::optional<double> value(qint64 index) const = 0;
    virtual QString label(qint64 index) const = 0;
    // Smallest and largest value among points first..last, nullopt when all are null.
    virtual std::optional<TSeriesRange> range(qint64 first, qint64 last) const = 0;
};

#pragma once

#include "chart/ChartSeriesSource.h"

#include <deque>

// An in-memory series of appended points, for live charts and tests. Beyond
// its capacity it drops the oldest point; indices keep counting, so the
// first index grows and every kept point keeps its index.
class TListSeriesSource : public ChartSeriesSource
{
public:
    explicit TListSeriesSource(qint64 capacity = 0); // 0: unlimited

    void append(std::optional<double> value, const QString& label);
    void clear();

    qint64 firstIndex() const override { return firstIndex_; }
    qint64 pointCount() const override { return qint64(points_.size()); }
    std::optional<double> value(qint64 index) const override;
    QString label(qint64 index) const override;
    // Walks the points: fine for the few tens of thousands a live chart keeps.
    std::optional<TChartRange> range(qint64 first, qint64 last) const override;

private:
    struct Point {
        std::optional<double> value;
        QString label;
    };
    const Point* pointAt(qint64 index) const;

    qint64 capacity_;
    qint64 firstIndex_ = 0;
    std::deque<Point> points_;
};

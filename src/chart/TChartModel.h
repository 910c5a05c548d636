#pragma once

#include "chart/TChartSeries.h"

#include <QMargins>
#include <QPen>
#include <QPoint>

#include <span>
#include <vector>

// Title of a value axis and its colour.
struct TChartAxisTitle {
    QString text;
    QColor color = Qt::black;
};

// Everything the chart shows, without pixels: series, axis ranges and
// modes, titles, margins and where the legend sits. The effective axis
// ranges are worked out from the series on demand, so appending points or
// swapping a source needs no bookkeeping here.
class TChartModel
{
public:
    int addSeries(const TChartSeriesStyle& style, const ChartSeriesSource* source);
    int seriesCount() const { return int(series_.size()); }
    const TChartSeries& series(int index) const { return series_.at(size_t(index)); }
    void setSeriesSource(int index, const ChartSeriesSource* source);
    void setSeriesStyle(int index, const TChartSeriesStyle& style);
    void setSeriesVisible(int index, bool visible);

    // Fixes the bottom axis; refused (false) when max lies below min.
    bool setBottomRange(TChartRange range);
    // The bottom axis then spans all points of the shown series.
    void setBottomAutomatic();
    bool isBottomAutomatic() const { return bottomAutomatic_; }
    TChartRange bottomRange() const;

    // Fixes the left axis (as the live monitor's 0..100); refused when max < min.
    bool setLeftRange(TChartRange range);
    void setLeftAutomatic();
    // Fixed, or fitted to the shown series of that side over the visible points.
    TChartRange verticalRange(TChartAxisSide side) const;
    bool hasShownSeries(TChartAxisSide side) const;

    // Points of a series inside the bottom axis range (empty if none).
    TIndexSpan visibleSpan(int index) const;
    // Union of the visible spans of the shown series.
    TIndexSpan visibleSpan() const;
    // The first non-empty label any shown series has at the index.
    QString labelAt(qint64 index) const;

    TChartAxisTitle& axisTitle(TChartAxisSide side);
    const TChartAxisTitle& axisTitle(TChartAxisSide side) const;

    QMargins margins() const { return margins_; }
    void setMargins(const QMargins& margins) { margins_ = margins; }
    QPoint legendPosition() const { return legendPosition_; }
    void setLegendPosition(QPoint position) { legendPosition_ = position; }
    bool isLegendVisible() const { return legendVisible_; }
    void setLegendVisible(bool visible) { legendVisible_ = visible; }

    // Point indices, ascending, before which the curves break: the time from
    // the point before is a pause, not a recording interval.
    void setBreaks(std::vector<qint64> breaks) { breaks_ = std::move(breaks); }
    std::span<const qint64> breaks() const { return breaks_; }
    // The breaks at indices first..last.
    std::span<const qint64> breaksIn(TIndexSpan points) const;

    // A vertical line across the plot at a bottom-axis value (a cursor), or none.
    std::optional<double> cursorLine() const { return cursorLine_; }
    QPen cursorLinePen() const { return cursorLinePen_; }
    void setCursorLine(std::optional<double> bottomValue, const QPen& pen);

private:
    TIndexSpan spanInRange(const TChartSeries& series, TChartRange range) const;

    std::vector<TChartSeries> series_;
    bool bottomAutomatic_ = true;
    TChartRange bottomRange_;
    bool leftFixed_ = false;
    TChartRange leftRange_;
    TChartAxisTitle leftTitle_;
    TChartAxisTitle rightTitle_;
    QMargins margins_;
    QPoint legendPosition_;
    bool legendVisible_ = true;
    std::vector<qint64> breaks_;
    std::optional<double> cursorLine_;
    QPen cursorLinePen_;
};

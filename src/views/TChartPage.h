#pragma once

#include "views/TChartWindow.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QScrollBar;
class TChart;
class TChartFilterPanel;
class TChartPageSeries;
class TCursorTracker;
class TMeasurementStore;
class TRowSpanView;
class TUserLimitsHolder;
struct TUserLimits;

// The chart page's series, in the order of TChartPage::SeriesIndex.
inline constexpr std::size_t ChartPageSeriesCount = 9;
using TChartPageSeriesSet = std::array<std::unique_ptr<TChartPageSeries>, ChartPageSeriesCount>;

// The chart page's chart over every row of a report, off screen: the report
// shows all of its rows whatever the page's window shows. The whole log's
// points are labelled as after a load, a period's as in a period. It reads
// the rows, which outlive it.
class TReportChart {
public:
    // The page's series and frame over `rows`, every one in view; TChartPage
    // gives it the page's legend and size.
    TReportChart(const TMeasurementStore& rows, const TUserLimits& limits);
    TReportChart(const TRowSpanView& rows, const TUserLimits& limits);
    ~TReportChart();

    TChart& chart() { return *chart_; }
    const TChart& chart() const { return *chart_; }

private:
    TReportChart(TChartPageSeriesSet series, std::vector<qint64> breaks, qint64 rowCount, const TUserLimits& limits);

    TChartPageSeriesSet series_;
    std::unique_ptr<TChart> chart_; // destroyed first: it reads the series
};

// The data viewer's chart page: the measurements as three curves and two
// limit lines for each over a window of points, its filter panel with the zoom
// buttons, the scroll bar, the interval list and the period pickers, and the
// cursor readout. The wheel zooms around the pointer and, at the narrowest
// window, drills into a period; Shift+drag picks a period; a double click
// or Home shows the whole log again.
class TChartPage : public QWidget, private TChartWindowTarget {
    Q_OBJECT
public:
    // The chart's series, in the chart's order, which is the order they are
    // drawn in: the pressure's limit lines go under those of temperature and
    // humidity, which stand at the same height where both axes end on a level.
    enum SeriesIndex {
        SeriesRH,
        SeriesT,
        SeriesP,
        SeriesPLMax,
        SeriesPLMin,
        SeriesRHLMax,
        SeriesRHLMin,
        SeriesTLMax,
        SeriesTLMin,
        SeriesCount
    };
    static_assert(SeriesCount == ChartPageSeriesCount);
    // How much one wheel notch narrows or widens the window.
    static constexpr double WheelZoomFactor = 1.25;

    // limits: the limits in use, where the limit lines stand; they follow its changes.
    TChartPage(const TMeasurementStore& store, const TUserLimitsHolder& limits, QWidget* parent = nullptr);
    ~TChartPage() override;

    // The series number of the detected logger (0 before any detection),
    // which decides whether the legend brings the limit lines back.
    void setPublishedSeries(std::function<qint32()> publishedSeries);
    // The detection's switch of the limit lines.
    void showLimitSeries(bool shown);
    bool limitSeriesShown() const;

    // After every load: the pickers, the window, the controls and the interval list.
    void storeLoaded();
    // The scroll bar's place and the legend's left, as the window layout puts them.
    void placeControls(int scrollBarLeft, int scrollBarWidth, int legendLeft);

    // The chart as this page draws it (series shown, limit lines, legend) over
    // `rows`, the whole log or a period, all of them in view, at `size`.
    std::unique_ptr<TReportChart> reportChart(const TMeasurementStore& rows, QSize size) const;
    std::unique_ptr<TReportChart> reportChart(const TRowSpanView& rows, QSize size) const;

    const TChartWindow& chartWindow() const { return chartWindow_; }
    // The rows of the period the chart shows after "Выбрать" (or an interval,
    // "Сбросить", a drill); none while it shows the load as it came.
    const TRowSpanView* period() const { return periodRows_.get(); }
    QLabel* TrackingLabel() const;

    TChart* Chart;
    TChartFilterPanel* PanelFiltr;
    QScrollBar* ScrollBarScale;

private slots:
    void ButtonZoomInClick();
    void ButtonZoomOutClick();
    void ScrollBarScrollChange(int position);
    void ScrollBarScaleChange(int position);
    void ChartMouseDown();
    void ChartMouseMove(QPoint position);
    void ChartMouseUp();
    void ChartClickLegend();
    void ButtonFiltrClick();
    void ButtonFilterClearClick();
    void ComboBoxRowChange(int item);
    void chartMouseWheel(QPoint position, double notches);
    void chartMouseLeave();
    void chartSpanMarked(double from, double to);
    void showLimits();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    double axisMinimum() const override;
    double axisMaximum() const override;
    void setAxisMinimum(double value) override;
    void setAxisMaximum(double value) override;
    void setScrollMaximum(int maximum) override;
    void setScrollPosition(int position) override;

    void buildChart();
    // Gives a report's chart the page's legend and shown series, at `size`.
    std::unique_ptr<TReportChart> dressed(std::unique_ptr<TReportChart> report, QSize size) const;
    void connectControls();
    void showSeries(TChartPageSeriesSet series);
    void setPickers(qint64 start, qint64 stop);
    void setControlsEnabled(bool enabled);
    qint64 pointCount() const;
    qint64 pointTime(qint64 point) const;
    // Applies the period from the time of one point to that of another, as the pickers and "Выбрать" would.
    void applyPointSpan(qint64 first, qint64 last);
    // The visible span narrowed by factor around anchor, as a period.
    void drillInto(double anchor, double factor);
    void trackCursorAt(QPoint position);

    const TMeasurementStore& store_;
    const TUserLimitsHolder& limits_;
    TChartWindow chartWindow_;
    std::unique_ptr<TCursorTracker> tracker_;
    std::function<qint32()> PublishedSeries;
    double drillNotches_ = 0; // turned in at the narrowest window, not yet a period
    // The period's rows outlive the series that read them.
    std::unique_ptr<TRowSpanView> periodRows_;
    TChartPageSeriesSet Series;
};

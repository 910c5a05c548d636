#pragma once

#include "views/TChartWindow.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QLabel;
class QScrollBar;
class TChart;
class TChartFilterPanel;
class TChartPageSeries;
class TCursorTracker;
class TMeasurementStore;
class TRowSpanView;

// The data viewer's chart page: the measurements as three curves and four
// limit lines over a window of points, its filter panel with the zoom
// buttons, the scroll bar, the interval list and the period pickers, and the
// cursor readout.
class TChartPage : public QWidget, private TChartWindowTarget {
    Q_OBJECT
public:
    // The chart's series, in the chart's order.
    enum SeriesIndex { SeriesRH, SeriesT, SeriesP, SeriesRHLMax, SeriesRHLMin, SeriesTLMax, SeriesTLMin };
    static constexpr int LastSeriesWithoutLimits = 23;

    explicit TChartPage(const TMeasurementStore& store, QWidget* parent = nullptr);
    ~TChartPage() override;

    // The series number of the detected logger (0 before any detection),
    // which decides whether the legend brings the limit lines back.
    void SetPublishedSeries(std::function<qint32()> publishedSeries);
    // The detection's switch of the four limit lines.
    void ShowLimitSeries(bool shown);
    bool LimitSeriesShown() const;

    // After every load: the pickers, the window, the controls and the interval list.
    void StoreLoaded();
    // The scroll bar's place and the legend's left, as the window layout puts them.
    void PlaceControls(int scrollBarLeft, int scrollBarWidth, int legendLeft);

    const TChartWindow& Window() const { return ChartWindow; }
    QLabel* TrackingLabel() const;

    TChart* Chart;
    TChartFilterPanel* PanelFiltr;
    QScrollBar* ScrollBarScale;

public slots:
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

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    double axisMinimum() const override;
    double axisMaximum() const override;
    void setAxisMinimum(double value) override;
    void setAxisMaximum(double value) override;
    void setScrollMaximum(int maximum) override;
    void setScrollPosition(int position) override;

    void buildChart();
    void connectControls();
    void showSeries(std::array<std::unique_ptr<TChartPageSeries>, 7> series);
    void setPickers(qint64 start, qint64 stop);
    void setControlsEnabled(bool enabled);

    const TMeasurementStore& Store;
    TChartWindow ChartWindow;
    std::unique_ptr<TCursorTracker> Tracker;
    std::function<qint32()> PublishedSeries;
    // The period's rows outlive the series that read them.
    std::unique_ptr<TRowSpanView> PeriodRows;
    std::array<std::unique_ptr<TChartPageSeries>, 7> Series;
};

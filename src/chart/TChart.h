#pragma once

#include "chart/TBottomAxisLabels.h"
#include "chart/TChartModel.h"

#include <QWidget>

#include <optional>
#include <vector>

class QPainter;

// The chart widget all charts draw with: line series read in place from
// ChartSeriesSource objects, a bottom axis over point indices with the
// points' labels, fitted or fixed value axes, a legend with a check box per
// series, horizontal panning with the left button, marking a span with
// Shift and the left button, breaks in the curves at pauses, and pixel/value
// conversions. The same paint() draws the screen, an image or a printed page.
//
// Mouse signals come first: mouseMove before this widget's own pan step for
// that move, mouseUp before panning ends, mouseDown on the legend before the
// box toggles and legendToggled after it.
class TChart : public QWidget
{
    Q_OBJECT

public:
    explicit TChart(QWidget* parent = nullptr);

    const TChartModel& model() const { return model_; }

    int addSeries(const TChartSeriesStyle& style, const ChartSeriesSource* source = nullptr);
    int seriesCount() const { return model_.seriesCount(); }
    const TChartSeriesStyle& seriesStyle(int series) const { return model_.series(series).style; }
    void setSeriesSource(int series, const ChartSeriesSource* source);
    void setSeriesStyle(int series, const TChartSeriesStyle& style);
    void setSeriesVisible(int series, bool visible);
    bool isSeriesVisible(int series) const { return model_.series(series).visible; }

    bool setBottomRange(double min, double max);
    void setBottomAutomatic();
    bool isBottomAutomatic() const { return model_.isBottomAutomatic(); }
    TChartRange bottomRange() const { return model_.bottomRange(); }
    bool setLeftRange(double min, double max);
    void setLeftAutomatic();
    TChartRange leftRange() const { return model_.verticalRange(TChartAxisSide::Left); }
    TChartRange rightRange() const { return model_.verticalRange(TChartAxisSide::Right); }
    void setAxisTitle(TChartAxisSide side, const QString& title);
    void setAxisTitleColor(TChartAxisSide side, const QColor& color);

    void setMargins(const QMargins& margins);
    void setLegendPosition(QPoint topLeft);
    void setLegendVisible(bool visible);
    QRect legendRect() const;
    // The clickable entry of a series in the legend; empty when it has none.
    QRect legendEntryRect(int series) const;

    // A vertical line across the plot at a bottom-axis value, drawn over the
    // series (the cursor readout's tracking line); nullopt removes it.
    void setCursorLine(std::optional<double> bottomValue, const QPen& pen = QPen(Qt::black, 2, Qt::DotLine));

    // Point indices, ascending, where the curves break and a faint mark shows a pause.
    void setBreaks(std::vector<qint64> breaks);

    void setPanningEnabled(bool enabled) { panningEnabled_ = enabled; }
    bool isPanningEnabled() const { return panningEnabled_; }

    QRect plotRect() const;
    double bottomValueAt(double pixelX) const;
    double bottomPixelOf(double value) const;
    double leftValueAt(double pixelY) const;
    double leftPixelOf(double value) const;
    // Points of a series inside the bottom axis range (empty if none).
    TIndexSpan visibleSpan(int series) const { return model_.visibleSpan(series); }

    // True from a Shift+left press on the plot to its release: the drag marks a span, it does not pan.
    bool isMarkingSpan() const { return markFromX_.has_value(); }
    // The pixel columns the drag has marked so far; empty when none.
    QRect markedRect() const;

    // The bottom axis' point labels as the widget draws them.
    std::vector<TBottomLabel> bottomLabels() const;

    // Draws the whole chart into area, as it would look in a widget that size.
    void paint(QPainter& painter, const QRect& area, TChartPaintMode mode = TChartPaintMode::Screen) const;

signals:
    void mouseDown(QPoint position, Qt::MouseButton button);
    void mouseMove(QPoint position, Qt::MouseButtons buttons);
    void mouseUp(QPoint position, Qt::MouseButton button);
    // After the user switched a series on or off with its legend check box.
    void legendToggled(int series);
    // A turn of the wheel over the plot: notches away from the user are positive.
    void wheelTurned(QPoint position, double notches);
    void doubleClicked(QPoint position);
    void mouseLeft();
    // After a Shift+drag: the bottom-axis values of its two ends, the smaller first.
    void spanMarked(double from, double to);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void panTo(int pixelX);
    int clampedToPlot(int pixelX) const;

    TChartModel model_;
    bool panningEnabled_ = true;
    std::optional<int> panFromX_; // set while a left-button drag pans
    std::optional<int> markFromX_; // set while a Shift+left drag marks a span
    int markToX_ = 0;
};

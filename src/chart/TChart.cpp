#include "chart/TChart.h"

#include "chart/TChartLayout.h"
#include "chart/TChartLegend.h"
#include "chart/TChartPainter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace {

// Angle of one wheel notch in eighths of a degree.
constexpr double NotchAngle = 120;
// A Shift+drag narrower than this is a click, not a span.
constexpr int MinMarkPixels = 3;
const QColor MarkColor(0, 120, 215, 48);

} // namespace

TChart::TChart(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int TChart::addSeries(const TChartSeriesStyle& style, const ChartSeriesSource* source)
{
    const int index = model_.addSeries(style, source);
    update();
    return index;
}

void TChart::setSeriesSource(int series, const ChartSeriesSource* source)
{
    model_.setSeriesSource(series, source);
    update();
}

void TChart::setSeriesStyle(int series, const TChartSeriesStyle& style)
{
    model_.setSeriesStyle(series, style);
    update();
}

void TChart::setSeriesVisible(int series, bool visible)
{
    model_.setSeriesVisible(series, visible);
    update();
}

bool TChart::setBottomRange(double min, double max)
{
    if (!model_.setBottomRange({min, max}))
        return false;
    update();
    return true;
}

void TChart::setBottomAutomatic()
{
    model_.setBottomAutomatic();
    update();
}

bool TChart::setLeftRange(double min, double max)
{
    if (!model_.setLeftRange({min, max}))
        return false;
    update();
    return true;
}

void TChart::setLeftAutomatic()
{
    model_.setLeftAutomatic();
    update();
}

void TChart::setAxisTitle(TChartAxisSide side, const QString& title)
{
    model_.axisTitle(side).text = title;
    update();
}

void TChart::setAxisTitleColor(TChartAxisSide side, const QColor& color)
{
    model_.axisTitle(side).color = color;
    update();
}

void TChart::setMargins(const QMargins& margins)
{
    model_.setMargins(margins);
    update();
}

void TChart::setLegendPosition(QPoint topLeft)
{
    model_.setLegendPosition(topLeft);
    update();
}

void TChart::setLegendVisible(bool visible)
{
    model_.setLegendVisible(visible);
    update();
}

void TChart::setCursorLine(std::optional<double> bottomValue, const QPen& pen)
{
    model_.setCursorLine(bottomValue, pen);
    update();
}

void TChart::setBreaks(std::vector<qint64> breaks)
{
    model_.setBreaks(std::move(breaks));
    update();
}

QRect TChart::markedRect() const
{
    if (!markFromX_)
        return {};
    const QRect plot = plotRect();
    return QRect(QPoint(std::min(*markFromX_, markToX_), plot.top()), QPoint(std::max(*markFromX_, markToX_), plot.bottom()));
}

std::vector<TBottomLabel> TChart::bottomLabels() const
{
    const QFontMetricsF metrics(font());
    return TBottomAxisLabels(model_, TChartLayout(model_, rect(), metrics), rect(), metrics).labels();
}

QRect TChart::legendRect() const
{
    return TChartLegend(model_, QFontMetricsF(font())).rect();
}

QRect TChart::legendEntryRect(int series) const
{
    return TChartLegend(model_, QFontMetricsF(font())).entryRect(series);
}

QRect TChart::plotRect() const
{
    return TChartLayout(model_, rect(), QFontMetricsF(font())).plot();
}

double TChart::bottomValueAt(double pixelX) const
{
    return TChartLayout(model_, rect(), QFontMetricsF(font())).bottomMapping().toValue(pixelX);
}

double TChart::bottomPixelOf(double value) const
{
    return TChartLayout(model_, rect(), QFontMetricsF(font())).bottomMapping().toPixel(value);
}

double TChart::leftValueAt(double pixelY) const
{
    return TChartLayout(model_, rect(), QFontMetricsF(font())).verticalMapping(TChartAxisSide::Left).toValue(pixelY);
}

double TChart::leftPixelOf(double value) const
{
    return TChartLayout(model_, rect(), QFontMetricsF(font())).verticalMapping(TChartAxisSide::Left).toPixel(value);
}

void TChart::paint(QPainter& painter, const QRect& area, TChartPaintMode mode) const
{
    painter.save();
    painter.setFont(font());
    TChartPainter(model_, mode).paint(painter, area);
    painter.restore();
}

void TChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, rect());
    if (markFromX_)
        painter.fillRect(markedRect(), MarkColor);
}

void TChart::mousePressEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    const int series = TChartLegend(model_, QFontMetricsF(font())).seriesAt(position);
    const bool onPlot = event->button() == Qt::LeftButton && series < 0 && plotRect().contains(position);
    // Known before mouseDown, so its handler can tell marking from panning.
    if (onPlot && (event->modifiers() & Qt::ShiftModifier)) {
        markFromX_ = position.x();
        markToX_ = position.x();
    }
    emit mouseDown(position, event->button());
    if (series >= 0 && event->button() == Qt::LeftButton) {
        setSeriesVisible(series, !isSeriesVisible(series));
        emit legendToggled(series);
        return;
    }
    if (onPlot && !markFromX_ && panningEnabled_)
        panFromX_ = position.x();
}

void TChart::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    emit mouseMove(position, event->buttons());
    if (panFromX_)
        panTo(position.x());
    if (markFromX_) {
        markToX_ = clampedToPlot(position.x());
        update();
    }
}

void TChart::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp(event->position().toPoint(), event->button());
    if (event->button() != Qt::LeftButton)
        return;
    panFromX_.reset();
    if (!markFromX_)
        return;
    const int from = std::min(*markFromX_, clampedToPlot(event->position().toPoint().x()));
    const int to = std::max(*markFromX_, clampedToPlot(event->position().toPoint().x()));
    markFromX_.reset();
    update();
    if (to - from >= MinMarkPixels)
        emit spanMarked(bottomValueAt(from), bottomValueAt(to));
}

void TChart::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The press of a double click still starts a drag or toggles a legend box, as any press does.
    mousePressEvent(event);
    const QPoint position = event->position().toPoint();
    const bool onLegend = TChartLegend(model_, QFontMetricsF(font())).seriesAt(position) >= 0;
    if (event->button() == Qt::LeftButton && !onLegend && plotRect().contains(position))
        emit doubleClicked(position);
}

void TChart::wheelEvent(QWheelEvent* event)
{
    const QPoint position = event->position().toPoint();
    if (event->angleDelta().y() == 0 || !plotRect().contains(position)) {
        event->ignore();
        return;
    }
    emit wheelTurned(position, event->angleDelta().y() / NotchAngle);
}

void TChart::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    emit mouseLeft();
}

int TChart::clampedToPlot(int pixelX) const
{
    const QRect plot = plotRect();
    return std::clamp(pixelX, plot.left(), plot.right());
}

void TChart::panTo(int pixelX)
{
    const TAxisMapping mapping = TChartLayout(model_, rect(), QFontMetricsF(font())).bottomMapping();
    // Dragging right brings earlier points in: the range moves against the mouse.
    const double shift = (*panFromX_ - pixelX) / mapping.pixelsPerUnit();
    panFromX_ = pixelX;
    if (shift == 0)
        return;
    const TChartRange range = model_.bottomRange();
    setBottomRange(range.min + shift, range.max + shift);
}

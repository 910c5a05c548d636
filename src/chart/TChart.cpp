#include "chart/TChart.h"

#include "chart/TChartLayout.h"
#include "chart/TChartLegend.h"
#include "chart/TChartPainter.h"

#include <QMouseEvent>
#include <QPainter>

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

void TChart::paint(QPainter& painter, const QRect& area) const
{
    painter.save();
    painter.setFont(font());
    TChartPainter(model_).paint(painter, area);
    painter.restore();
}

void TChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, rect());
}

void TChart::mousePressEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    emit mouseDown(position, event->button());
    const int series = TChartLegend(model_, QFontMetricsF(font())).seriesAt(position);
    if (series >= 0 && event->button() == Qt::LeftButton) {
        setSeriesVisible(series, !isSeriesVisible(series));
        emit legendToggled(series);
        return;
    }
    if (panningEnabled_ && event->button() == Qt::LeftButton && plotRect().contains(position))
        panFromX_ = position.x();
}

void TChart::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    emit mouseMove(position, event->buttons());
    if (panFromX_)
        panTo(position.x());
}

void TChart::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp(event->position().toPoint(), event->button());
    if (event->button() == Qt::LeftButton)
        panFromX_.reset();
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

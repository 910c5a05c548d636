#include "views/TCursorTracker.h"

#include "chart/TChart.h"
#include "views/CursorReadout.h"

#include <QLabel>

#include <utility>

namespace {

constexpr int LabelOffset = 5;

const ChartSeriesSource* sourceOf(const TChart& chart, int series)
{
    return chart.model().series(series).source;
}

TIndexSpan pointsOf(const TChart& chart, int series)
{
    const ChartSeriesSource* source = sourceOf(chart, series);
    return source ? source->indices() : TIndexSpan{};
}

std::optional<double> valueAt(const TChart& chart, int series, qint64 index)
{
    const ChartSeriesSource* source = sourceOf(chart, series);
    return source ? source->value(index) : std::nullopt;
}

QLabel* newTrackingLabel(TChart* chart)
{
    auto* label = new QLabel(chart);
    label->setObjectName(QStringLiteral("TrackingLabel"));
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    // The label must not catch the moves that drive it.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->hide();
    return label;
}

} // namespace

TCursorTracker::TCursorTracker(QLocale locale, std::function<QString(qint64 point)> momentOf)
    : locale_(std::move(locale))
    , momentOf_(std::move(momentOf))
{
}

void TCursorTracker::hide(TChart* chart)
{
    chart->setCursorLine(std::nullopt);
    if (trackingLabel_)
        trackingLabel_->hide();
}

void TCursorTracker::TrackCursor(TChart* chart, int x, int y, int humiditySeries, int temperatureSeries,
                                 int pressureSeries)
{
    if (!trackingLabel_)
        trackingLabel_ = newTrackingLabel(chart);
    hide(chart);

    TReadoutScene scene;
    scene.x = chart->bottomValueAt(x);
    scene.y = chart->leftValueAt(y);
    scene.bottom = chart->bottomRange();
    scene.left = chart->leftRange();
    scene.humidityPoints = pointsOf(*chart, humiditySeries);
    scene.temperaturePoints = pointsOf(*chart, temperatureSeries);
    scene.humidityVisible = chart->visibleSpan(humiditySeries);
    scene.temperatureVisible = chart->visibleSpan(temperatureSeries);
    const std::optional<qint64> point = CursorReadout::readoutPoint(scene, [](qint64 index) { return double(index); });
    if (!point)
        return;

    // The line stands at the pointer, not at the point it names.
    chart->setCursorLine(scene.x);
    trackingLabel_->setText(CursorReadout::readoutText(momentOf_(*point), valueAt(*chart, humiditySeries, *point),
                                                       valueAt(*chart, temperatureSeries, *point),
                                                       valueAt(*chart, pressureSeries, *point), locale_));
    trackingLabel_->adjustSize();
    trackingLabel_->move(x + LabelOffset, y - trackingLabel_->height() - LabelOffset);
    trackingLabel_->show();
    trackingLabel_->raise();
}

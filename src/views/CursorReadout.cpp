#include "views/CursorReadout.h"

#include <cmath>

namespace CursorReadout {

namespace {

bool strictlyInside(double value, double low, double high)
{
    return value > low && value < high;
}

bool showsTwoPoints(TIndexSpan visible)
{
    return !visible.isEmpty() && visible.first < visible.last;
}

QString valueText(std::optional<double> value, QLocale locale)
{
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    // The dash stands apart from the unit, which a number would touch.
    return value ? locale.toString(*value, 'f', 1) : QStringLiteral("— ");
}

} // namespace

bool coversData(const TReadoutScene& scene)
{
    return !scene.humidityPoints.isEmpty() && !scene.temperaturePoints.isEmpty()
        && strictlyInside(scene.x, double(scene.humidityPoints.first), double(scene.humidityPoints.last))
        && strictlyInside(scene.x, scene.bottom.min, scene.bottom.max)
        && strictlyInside(scene.x, double(scene.temperaturePoints.first), double(scene.temperaturePoints.last))
        && strictlyInside(scene.y, scene.left.min, scene.left.max)
        && showsTwoPoints(scene.humidityVisible) && showsTwoPoints(scene.temperatureVisible);
}

qint64 nearestPoint(double x, TIndexSpan visible, const std::function<double(qint64)>& xOf)
{
    const double step = std::abs(xOf(visible.last) - xOf(visible.first)) / double(std::abs(visible.last - visible.first));
    qint64 k = qint64(x / step);
    double best = std::abs(xOf(k) - x);
    bool moved = true;
    while (moved) {
        moved = false;
        if (k < visible.last && std::abs(xOf(k + 1) - x) < best) {
            ++k;
            best = std::abs(xOf(k) - x);
            moved = true;
        }
        if (k > visible.first && std::abs(xOf(k - 1) - x) < best) {
            --k;
            best = std::abs(xOf(k) - x);
            moved = true;
        }
    }
    return k;
}

std::optional<qint64> readoutPoint(const TReadoutScene& scene, const std::function<double(qint64)>& xOf)
{
    if (!coversData(scene))
        return std::nullopt;
    // The two series share their x values, so the temperature search finds the same point.
    return nearestPoint(scene.x, scene.humidityVisible, xOf);
}

QString readoutText(const QString& moment, std::optional<double> humidity, std::optional<double> temperature,
                    std::optional<double> pressure, const QLocale& locale)
{
    return QStringLiteral("%1\nRH = %2%\nt = %3*C\nP = %4кПа")
        .arg(moment, valueText(humidity, locale), valueText(temperature, locale), valueText(pressure, locale));
}

} // namespace CursorReadout

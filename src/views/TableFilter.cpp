#include "views/TableFilter.h"

#include <cmath>

std::optional<float> ConvertBoundText(const QString& text, const QLocale& locale)
{
    bool ok = false;
    const float value = locale.toFloat(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double RoundToTenths(double value)
{
    // nearbyint rounds in the default mode, to nearest with ties to even.
    return std::nearbyint(value * 10.0);
}

void TTableFilter::setBoundTexts(const QString& tMax, const QString& tMin, const QString& rhMax,
                                 const QString& rhMin, const QLocale& locale)
{
    const auto bound = [&locale](const QString& text) -> std::optional<double> {
        const std::optional<float> value = ConvertBoundText(text, locale);
        return value ? std::optional<double>(RoundToTenths(*value)) : std::nullopt;
    };
    tMax_ = bound(tMax);
    tMin_ = bound(tMin);
    rhMax_ = bound(rhMax);
    rhMin_ = bound(rhMin);
}

bool TTableFilter::valuesPass(const std::optional<int>& temperatureTenths,
                              const std::optional<int>& humidityTenths) const
{
    const auto within = [](const std::optional<int>& value, const std::optional<double>& max,
                           const std::optional<double>& min) {
        if (!max && !min)
            return true;
        return value && (!max || *value <= *max) && (!min || *value >= *min);
    };
    return within(temperatureTenths, tMax_, tMin_) && within(humidityTenths, rhMax_, rhMin_);
}

TRowSpanView TTableFilter::apply(const TMeasurementStore& store) const
{
    return TRowSpanView::byPeriod(store, from_, to_, [this](const TExpandedRecord& record) {
        return valuesPass(record.temperature, record.humidity);
    });
}

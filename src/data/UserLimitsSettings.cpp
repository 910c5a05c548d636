#include "data/UserLimitsSettings.h"

#include <array>

namespace {

const QString TemperatureMinKey = QStringLiteral("Limits/TemperatureMin");
const QString TemperatureMaxKey = QStringLiteral("Limits/TemperatureMax");
const QString HumidityMinKey = QStringLiteral("Limits/HumidityMin");
const QString HumidityMaxKey = QStringLiteral("Limits/HumidityMax");
const QString PressureMinKey = QStringLiteral("Limits/PressureMin");
const QString PressureMaxKey = QStringLiteral("Limits/PressureMax");

using TLevelKeys = std::array<std::pair<const QString&, int&>, 2>;

// Reads both levels of one channel; false when either is missing or no number.
bool readLevels(const QSettings& settings, const TLevelKeys& levels)
{
    for (const auto& [key, level] : levels) {
        bool isNumber = false;
        level = settings.value(key).toInt(&isNumber);
        if (!isNumber)
            return false;
    }
    return true;
}

} // namespace

std::unique_ptr<QSettings> ProgramSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("korvi-monitor"),
                                       QStringLiteral("korvi-monitor"));
}

std::optional<TUserLimits> StoredUserLimits(const QSettings& settings)
{
    TUserLimits limits;
    if (!readLevels(settings, {{{TemperatureMinKey, limits.temperatureMin}, {TemperatureMaxKey, limits.temperatureMax}}})
        || !readLevels(settings, {{{HumidityMinKey, limits.humidityMin}, {HumidityMaxKey, limits.humidityMax}}}))
        return std::nullopt;
    int pressureMin = 0;
    int pressureMax = 0;
    if (readLevels(settings, {{{PressureMinKey, pressureMin}, {PressureMaxKey, pressureMax}}})
        && pressureMin < pressureMax) {
        limits.pressureMin = pressureMin;
        limits.pressureMax = pressureMax;
    }
    if (!LimitsAreOrdered(limits))
        return std::nullopt;
    return limits;
}

void StoreUserLimits(QSettings& settings, const TUserLimits& limits)
{
    settings.setValue(TemperatureMinKey, limits.temperatureMin);
    settings.setValue(TemperatureMaxKey, limits.temperatureMax);
    settings.setValue(HumidityMinKey, limits.humidityMin);
    settings.setValue(HumidityMaxKey, limits.humidityMax);
    settings.setValue(PressureMinKey, limits.pressureMin);
    settings.setValue(PressureMaxKey, limits.pressureMax);
}

bool LimitsAreOrdered(const TUserLimits& limits)
{
    return limits.temperatureMin < limits.temperatureMax && limits.humidityMin < limits.humidityMax
           && limits.pressureMin < limits.pressureMax;
}

#include "shell/UserLimitsSettings.h"

namespace {

const QString TemperatureMinKey = QStringLiteral("Limits/TemperatureMin");
const QString TemperatureMaxKey = QStringLiteral("Limits/TemperatureMax");
const QString HumidityMinKey = QStringLiteral("Limits/HumidityMin");
const QString HumidityMaxKey = QStringLiteral("Limits/HumidityMax");

} // namespace

std::unique_ptr<QSettings> ProgramSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("korvi-monitor"),
                                       QStringLiteral("korvi-monitor"));
}

TUserLimits StoredUserLimits(const QSettings& settings)
{
    TUserLimits limits;
    const std::pair<const QString&, int&> levels[] = {{TemperatureMinKey, limits.temperatureMin},
                                                      {TemperatureMaxKey, limits.temperatureMax},
                                                      {HumidityMinKey, limits.humidityMin},
                                                      {HumidityMaxKey, limits.humidityMax}};
    for (const auto& [key, level] : levels) {
        bool isNumber = false;
        level = settings.value(key).toInt(&isNumber);
        if (!isNumber)
            return {};
    }
    return LimitsAreOrdered(limits) ? limits : TUserLimits{};
}

void StoreUserLimits(QSettings& settings, const TUserLimits& limits)
{
    settings.setValue(TemperatureMinKey, limits.temperatureMin);
    settings.setValue(TemperatureMaxKey, limits.temperatureMax);
    settings.setValue(HumidityMinKey, limits.humidityMin);
    settings.setValue(HumidityMaxKey, limits.humidityMax);
}

bool LimitsAreOrdered(const TUserLimits& limits)
{
    return limits.temperatureMin < limits.temperatureMax && limits.humidityMin < limits.humidityMax;
}

#include "monitor/TLivePoll.h"

#include "device/TDeviceLink.h"

#include <cmath>

namespace {

// Tenths to units, rounded to one decimal so 455 is exactly 45.5 on screen.
double fromTenths(qint32 tenths)
{
    return std::round(float(tenths) * 0.1f * 10.0f) / 10.0;
}

QString shortest(double value, const QLocale& locale)
{
    return locale.toString(value, 'g', QLocale::FloatingPointShortest);
}

}  // namespace

std::optional<TLivePoll::RawChannels> TLivePoll::readChannels(TDeviceLink& link)
{
    RawChannels raw{};
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const std::optional<qint32> value = link.ReadChannel(channel);
        if (!value)
            return std::nullopt;
        raw[size_t(channel)] = *value;
    }
    return raw;
}

TLiveReading TLivePoll::accept(const RawChannels& raw)
{
    RawChannels used = raw;
    TLiveReading reading;
    for (size_t channel = 0; channel < used.size(); ++channel) {
        if (used[channel] >= Ranges[channel].lowest && used[channel] <= Ranges[channel].highest) {
            lastAccepted_[channel] = used[channel];
            if (channel < reading.measuredTenths.size())
                reading.measuredTenths[channel] = used[channel];
        } else {
            used[channel] = lastAccepted_[channel];
        }
    }
    reading.humidity = fromTenths(used[1]);
    reading.temperature = fromTenths(used[0]);
    return reading;
}

QString TLivePoll::humidityText(double humidity, const QLocale& locale)
{
    return QStringLiteral("RH ") + shortest(humidity, locale) + QStringLiteral(" %");
}

QString TLivePoll::temperatureText(double temperature, const QLocale& locale)
{
    return QStringLiteral("t ") + shortest(temperature, locale) + QStringLiteral(" °C");
}

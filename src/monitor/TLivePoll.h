#pragma once

#include <QLocale>
#include <QString>

#include <array>
#include <optional>

class TDeviceLink;

// One live reading as the monitor shows it, in % and °C.
struct TLiveReading {
    double humidity = 0;
    double temperature = 0;
};

// The live poll's reading of the logger's four channels with the range rule:
// a raw value outside 0..1000 is replaced by the channel's last accepted one
// (0 before any), so a garbled or implausible reading never reaches the chart.
class TLivePoll {
public:
    static constexpr int ChannelCount = 4;
    static constexpr qint32 LowestRaw = 0;
    static constexpr qint32 HighestRaw = 1000;

    // Reads channels 0 to 3 in order; nullopt when the logger did not answer,
    // and then nothing is accepted.
    std::optional<TLiveReading> readCycle(TDeviceLink& link);
    TLiveReading accept(const std::array<qint32, ChannelCount>& raw);

    const std::array<qint32, ChannelCount>& LastChannelValue() const { return lastAccepted_; }

    static QString humidityText(double humidity, const QLocale& locale);
    static QString temperatureText(double temperature, const QLocale& locale);

private:
    std::array<qint32, ChannelCount> lastAccepted_{};
};

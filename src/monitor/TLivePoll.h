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

    using RawChannels = std::array<qint32, ChannelCount>;

    // Reads channels 0 to 3 in order, on the logger's thread; nullopt when
    // the logger did not answer, and then nothing is to be accepted.
    static std::optional<RawChannels> readChannels(TDeviceLink& link);
    TLiveReading accept(const RawChannels& raw);

    const RawChannels& LastChannelValue() const { return lastAccepted_; }

    static QString humidityText(double humidity, const QLocale& locale);
    static QString temperatureText(double temperature, const QLocale& locale);

private:
    RawChannels lastAccepted_{};
};

#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <array>
#include <optional>

class TDeviceLink;

// What the logger measured in one poll cycle, in tenths of a degree Celsius,
// of a percent and of a kPa, in the slots of the log's channels (ChannelSlot:
// temperature, humidity, pressure). A channel is empty where the logger gave a
// value out of its range, every channel when the logger did not answer.
struct TLiveMeasurement {
    QDateTime at;
    std::array<std::optional<int>, 3> tenths;

    bool answered() const { return tenths[0] || tenths[1] || tenths[2]; }
};

// One live reading as the monitor shows it, in % and °C, and what of it the
// logger measured in this cycle.
struct TLiveReading {
    double humidity = 0;
    double temperature = 0;
    std::array<std::optional<int>, 3> measuredTenths;
};

// The live poll's reading of the logger's four channels with the range rule:
// a raw value outside its channel's range is replaced by the channel's last
// accepted one (0 before any), so a garbled or implausible reading never
// reaches the chart. Channel 0 is the temperature, 1 the humidity, 2 the
// pressure in tenths of a kPa, 3 the temperature inside the case.
class TLivePoll {
public:
    static constexpr int ChannelCount = 4;
    struct Range {
        qint32 lowest;
        qint32 highest;
    };
    // A fridge or a cold store reads below zero: the temperature's range
    // reaches down to -40 °C, where the humidity sensors of such loggers end.
    static constexpr std::array<Range, ChannelCount> Ranges = {{{-400, 1000}, {0, 1000}, {0, 2000}, {0, 1000}}};

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

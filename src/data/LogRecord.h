#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <optional>
#include <type_traits>

// One 16-byte record of data.log exactly as the logger writes it; multi-byte
// fields are little-endian byte pairs so the struct has no padding and no
// alignment needs, and a file can be read straight into an array of them.
struct TLogRecord {
    quint8 RepeatCount;
    quint8 IntervalAndChannels; // interval code in bits 7-4, channel mask in bits 3-0
    quint8 Second;
    quint8 Minute;
    quint8 Hour;
    quint8 Day;
    quint8 Month;
    quint8 Year; // within the century
    quint8 Temperature[2];
    quint8 Humidity[2];
    quint8 Pressure[2];
    quint8 Reserved[2];

    int IntervalCode() const { return IntervalAndChannels >> 4; }
    int ChannelMask() const { return IntervalAndChannels & 0x0F; }
    qint16 RawTemperature() const { return qint16(LittleEndian16(Temperature)); }
    quint16 RawHumidity() const { return LittleEndian16(Humidity); }
    quint16 RawPressure() const { return LittleEndian16(Pressure); }

private:
    static quint16 LittleEndian16(const quint8 (&bytes)[2]) { return quint16(bytes[0] | bytes[1] << 8); }
};
static_assert(sizeof(TLogRecord) == 16);
static_assert(std::is_trivial_v<TLogRecord>);

enum TChannelBit : int { ChannelTemperature = 1, ChannelHumidity = 2, ChannelPressure = 4 };
constexpr std::array<TChannelBit, 3> AllChannels = {ChannelTemperature, ChannelHumidity, ChannelPressure};
// Position of a channel in per-channel arrays: 0, 1, 2.
constexpr std::size_t ChannelSlot(TChannelBit channel)
{
    return channel == ChannelTemperature ? 0 : channel == ChannelHumidity ? 1 : 2;
}

// Recording interval of an interval code in seconds, 0 for a code that is not one.
int IntervalSeconds(int intervalCode);

// The year ending in the two digits that lies from 50 years before to 49 years
// after currentYear.
int FullYear(int twoDigitYear, int currentYear);

// A record is valid when every field is in range and its date exists.
bool IsValidRecord(const TLogRecord& record, int currentYear);

// Timestamp of the record's first measurement (whole seconds, see Timestamp.h).
// Only meaningful for a valid record.
qint64 BaseTimestamp(const TLogRecord& record, int currentYear);

// A record with the given fields, its date and time taken from baseTime
// (whole seconds, see Timestamp.h).
TLogRecord MakeLogRecord(int repeatCount, int intervalAndChannels, qint64 baseTime, qint16 temperature,
                         quint16 humidity, quint16 pressure);

// The Sys page's one-line dump of a record, e.g. "3 2 7 12:15:30 15.6.17 235 456 1013".
QString DumpLine(const TLogRecord& record);

// What one row of the row table carries, as typed values.
struct TRowValues {
    qint64 number = 0; // data row number, from 1
    qint64 time = 0; // whole seconds, see Timestamp.h
    int intervalSeconds = 0;
    std::optional<int> temperature; // tenths of a degree Celsius
    std::optional<int> humidity; // tenths of a percent
    std::optional<int> pressure; // tenths of a kPa
};

// A valid record expanded: RepeatCount rows at base + j x interval seconds
// (exact integers), all with the same values and the same chart label.
struct TExpandedRecord {
    qint64 baseTime = 0;
    int intervalCode = 0;
    int repeatCount = 0;
    std::optional<int> temperature;
    std::optional<int> humidity;
    std::optional<int> pressure;

    qint64 rowTime(int repetition) const { return baseTime + qint64(repetition) * IntervalSeconds(intervalCode); }
    TRowValues row(int repetition, qint64 number) const;
};

TExpandedRecord ExpandRecord(const TLogRecord& record, int currentYear);

// The same expansion from already decoded fields (the store's compact records).
TExpandedRecord ExpandFields(qint64 baseTime, int repeatCount, int intervalAndChannels, qint16 temperature,
                             quint16 humidity, quint16 pressure);

#pragma once

#include "data/LogRecord.h"
#include "data/RawRecords.h"

#include <optional>
#include <vector>

// A valid record's fields as the store reads them. The base time is an offset
// from the start of the list's century window, which spans 100 years and so
// fits 32 bits.
struct TCompactRecord {
    quint32 baseOffset;
    qint16 temperature;
    quint16 humidity;
    quint16 pressure;
    quint8 repeatCount;
    quint8 intervalAndChannels;

    // The record's value of the channel; none when it does not carry it.
    std::optional<int> value(TChannelBit channel) const
    {
        if (!(intervalAndChannels & channel))
            return std::nullopt;
        switch (channel) {
        case ChannelTemperature:
            return temperature;
        case ChannelHumidity:
            return humidity;
        case ChannelPressure:
            return pressure;
        }
        return std::nullopt;
    }
};

// The valid records of one source in file order, decoded for a given current
// year (which fixes the century of the two-digit years). A list made from a
// log's records as read reads their bytes in place, sharing them with the
// source, and keeps beside them only what decoding costs: each valid record's
// base time, and where it lies when invalid records sit between.
class TRecordList
{
public:
    explicit TRecordList(int currentYear);
    TRecordList(const TRawRecords& raw, int currentYear);

    int currentYear() const { return currentYear_; }
    void reserve(qsizetype count);
    // Decodes and keeps the record if it is valid; answers whether it was kept.
    bool appendIfValid(const TLogRecord& record);
    // Keeps `count` rows of record `index` of `from`, a list of the same
    // current year, from its repetition `first` on, as a record of their own.
    void appendRows(const TRecordList& from, qsizetype index, int first, int count);

    qsizetype size() const { return qsizetype(baseOffsets_.size()); }
    bool isEmpty() const { return baseOffsets_.empty(); }
    TCompactRecord at(qsizetype index) const
    {
        const TLogRecord& record = recordAt(index);
        return TCompactRecord{baseOffsets_[size_t(index)], record.RawTemperature(), record.RawHumidity(),
                              record.RawPressure(),       record.RepeatCount,      record.IntervalAndChannels};
    }
    qint64 baseTime(qsizetype index) const { return origin_ + baseOffsets_[size_t(index)]; }
    TExpandedRecord expanded(qsizetype index) const;
    std::optional<int> channelValue(TChannelBit channel, qsizetype index) const { return at(index).value(channel); }
    QString dumpLine(qsizetype index) const;

    // Heap bytes of the decoding, and of the records' own bytes while nothing
    // else shares them (a loaded source's records are counted with the source).
    qsizetype memoryBytes() const;

private:
    const TLogRecord& recordAt(qsizetype index) const
    {
        // The records are byte arrays only, so any address of the bytes holds them.
        static_assert(alignof(TLogRecord) == 1);
        const qsizetype position = positions_.empty() ? index : qsizetype(positions_[size_t(index)]);
        return reinterpret_cast<const TLogRecord*>(bytes_.constData())[position];
    }
    void append(const TLogRecord& record);
    void keep(const TLogRecord& record, qsizetype position);

    int currentYear_;
    qint64 origin_;
    QByteArray bytes_; // records in the log's own layout, invalid ones possibly among them
    std::vector<quint32> baseOffsets_; // one per valid record
    std::vector<quint32> positions_; // each valid record's place in bytes_; empty while that is its index
};

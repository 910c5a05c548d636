#pragma once

#include "data/LogRecord.h"

#include <vector>

// A valid record decoded once: 12 bytes. The base time is an offset from the
// start of the list's century window, which spans 100 years and so fits 32 bits.
struct TCompactRecord {
    quint32 baseOffset;
    qint16 temperature;
    quint16 humidity;
    quint16 pressure;
    quint8 repeatCount;
    quint8 intervalAndChannels;
};
static_assert(sizeof(TCompactRecord) == 12);

// The valid records of one source in file order, decoded for a given current
// year (which fixes the century of the two-digit years).
class TRecordList
{
public:
    explicit TRecordList(int currentYear);

    int currentYear() const { return currentYear_; }
    void reserve(qsizetype count);
    // Decodes and keeps the record if it is valid; answers whether it was kept.
    bool appendIfValid(const TLogRecord& record);
    // Keeps `count` rows of record `index` of `from`, a list of the same
    // current year, from its repetition `first` on, as a record of their own.
    void appendRows(const TRecordList& from, qsizetype index, int first, int count);

    qsizetype size() const { return qsizetype(records_.size()); }
    bool isEmpty() const { return records_.empty(); }
    const TCompactRecord& at(qsizetype index) const { return records_[size_t(index)]; }
    qint64 baseTime(qsizetype index) const { return origin_ + at(index).baseOffset; }
    TExpandedRecord expanded(qsizetype index) const;
    std::optional<int> channelValue(TChannelBit channel, qsizetype index) const;
    QString dumpLine(qsizetype index) const;

    qsizetype memoryBytes() const { return qsizetype(records_.capacity() * sizeof(TCompactRecord)); }

private:
    int currentYear_;
    qint64 origin_;
    std::vector<TCompactRecord> records_;
};

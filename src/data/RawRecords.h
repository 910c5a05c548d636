#pragma once

#include "data/LogRecord.h"

#include <QByteArray>

#include <limits>
#include <span>

// A log's records exactly as read, invalid ones included: what "*.log" saves
// and the archive keeps. The bytes never change once read, so the loaded
// source, a save and the archive share them instead of each holding a copy.
class TRawRecords
{
public:
    TRawRecords() = default;
    // `wholeRecords` holds a whole number of records.
    explicit TRawRecords(QByteArray wholeRecords);
    // The first `limit` whole records of `bytes` (a partial last one is not
    // a record), sharing the bytes when that is all of them.
    static TRawRecords firstOf(const QByteArray& bytes, qint64 limit = std::numeric_limits<qint64>::max());

    std::span<const TLogRecord> records() const;
    const QByteArray& bytes() const { return bytes_; }
    qsizetype size() const { return bytes_.size() / qsizetype(sizeof(TLogRecord)); }
    bool isEmpty() const { return bytes_.isEmpty(); }

private:
    QByteArray bytes_;
};

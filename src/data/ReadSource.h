#pragma once

#include "data/RawRecords.h"

#include <QString>

#include <QByteArray>

#include <functional>
#include <limits>
#include <optional>

struct TReadResult {
    bool opened = false;
    // The whole records read; when `error` is set they are not the file's.
    TRawRecords records;
    // Why the file could not be opened, or why a read of the opened file failed.
    QString error;
    // Records asked for that the file holds beyond the record limit.
    qint64 recordsLeftOut = 0;
};

// Told before each read how many records are in; false stops the read there.
using TReadProgress = std::function<bool(qint64 recordsRead)>;

// Reads up to recordCount whole 16-byte records of the file, never more than
// recordLimit, into memory of just the size the file holds of them; stops
// early at the end of the file. A read that fails (a drive unplugged
// mid-read, a bad sector), and a file whose size changes while it is read,
// are errors, never an early end. Only a regular file is opened: a pipe or a
// device could block the caller without end or pour out bytes without one.
TReadResult ReadSource(const QString& path, qint64 recordCount, qint64 recordLimit, const TReadProgress& progress);

// The bytes of a regular file, at most `limit` of them, read by the same
// rule: a failed read, or a file whose size changes while it is read, gives
// no bytes and `error` says why.
std::optional<QByteArray> ReadFileBytes(const QString& path, QString* error,
                                        qint64 limit = std::numeric_limits<qint64>::max());

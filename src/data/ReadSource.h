#pragma once

#include "data/LogRecord.h"

#include <QString>

#include <QByteArray>

#include <functional>
#include <limits>
#include <optional>
#include <span>

struct TReadResult {
    bool opened = false;
    qint64 recordsRead = 0; // whole records read into slots 0..recordsRead-1
    // Why the file could not be opened, or why a read of the opened file
    // failed; the records read then are not the file's.
    QString error;
    // Records asked for that the file holds but the buffer has no room for.
    qint64 recordsLeftOut = 0;
};

// Told the index of each record before it is read; false stops the read there.
using TReadProgress = std::function<bool(qint64 recordIndex)>;

// Reads up to recordCount whole 16-byte records of the file into the buffer
// from slot 0, never more than the buffer holds; stops early at the end of the
// file. A read that fails (a drive unplugged mid-read, a bad sector), and a
// file whose size changes while it is read, are errors, never an early end.
// Only a regular file is opened: a pipe or a device could block the caller
// without end or pour out bytes without one.
TReadResult ReadSource(const QString& path, qint64 recordCount, std::span<TLogRecord> buffer,
                       const TReadProgress& progress);

// The bytes of a regular file, at most `limit` of them, read by the same
// rule: a failed read, or a file whose size changes while it is read, gives
// no bytes and `error` says why.
std::optional<QByteArray> ReadFileBytes(const QString& path, QString* error,
                                        qint64 limit = std::numeric_limits<qint64>::max());

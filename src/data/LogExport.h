#pragma once

#include "data/LogRecord.h"

#include <QByteArrayView>
#include <QString>

#include <span>

class QIODevice;
class TJobProgress;
class TMeasurementStore;

// Writes a source's records exactly as they were read (TSourceList's
// shownRawRecords), invalid ones included, so the copy loads again as the
// same log. Answers whether all was written; `error` says why not. A cancel
// through `progress` stops the writing.
bool WriteRawLog(std::span<const TLogRecord> records, QIODevice& device, QString* error,
                 TJobProgress* progress = nullptr);
// Writes records' bytes as they are, such as a log kept in the archive,
// telling `progress` the whole records written; a cancel stops the writing.
bool WriteRawBytes(QByteArrayView bytes, QIODevice& device, QString* error, TJobProgress* progress = nullptr);

// "<stem>_<first date>_<last date>.<extension>" with ISO dates of the shown
// log, e.g. "2400123_2023-12-01_2023-12-31.log"; just "<stem>.<extension>"
// while nothing is loaded.
QString ExportFileName(const QString& stem, const TMeasurementStore& store, const QString& extension);
// The same name for a log measured from `first` to `last` (logger wall-clock seconds).
QString ExportFileName(const QString& stem, qint64 first, qint64 last, const QString& extension);

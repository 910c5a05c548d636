#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class TRecordList;

// What the archive lists of a log, read from its records: the valid records'
// rows and the first and last measurement (logger wall-clock seconds, see
// data/Timestamp.h; 0 when no record is valid).
struct TLogSummary {
    qint64 recordCount = 0; // whole 16-byte records, invalid ones included
    qint64 rowCount = 0;
    qint64 firstTime = 0;
    qint64 lastTime = 0;
};

TLogSummary SummarizeLog(const QByteArray& raw, int currentYear);
// The same from the log's records already decoded.
TLogSummary SummarizeLog(const QByteArray& raw, const TRecordList& records);

// The valid records of a log's bytes, decoded as the loader decodes a file.
std::shared_ptr<TRecordList> DecodeLog(const QByteArray& raw, int currentYear);

// The records as the archive keeps them: regrouped into byte columns and
// compressed with zlib (qCompress), with the SHA-256 (hex) of the records as
// read that names them.
struct TPackedLog {
    QByteArray compressed;
    QString sha256;
};

TPackedLog PackLog(const QByteArray& raw);
QString Sha256Of(const QByteArray& raw);
// The records again; nullopt when the bytes do not expand or do not match
// their SHA-256.
std::optional<QByteArray> UnpackLog(const QByteArray& compressed, const QString& sha256);

// Tells whether packed records match their SHA-256 as UnpackLog does, into
// buffers it keeps from one log to the next: a check of the whole archive
// expands thousands of logs, and allocating each anew costs more than the
// expanding.
class TLogChecker
{
public:
    bool matches(const QByteArray& compressed, const QString& sha256);

private:
    QByteArray columns_;
    QByteArray records_;
};

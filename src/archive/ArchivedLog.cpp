#include "archive/ArchivedLog.h"

#include "data/RecordList.h"

#include <QCryptographicHash>

#include <cstring>

TLogSummary SummarizeLog(const QByteArray& raw, int currentYear)
{
    const std::shared_ptr<TRecordList> records = DecodeLog(raw, currentYear);
    TLogSummary summary;
    summary.recordCount = raw.size() / qint64(sizeof(TLogRecord));
    for (qsizetype i = 0; i < records->size(); ++i)
        summary.rowCount += records->at(i).repeatCount;
    if (!records->isEmpty()) {
        const TExpandedRecord last = records->expanded(records->size() - 1);
        summary.firstTime = records->baseTime(0);
        summary.lastTime = last.rowTime(last.repeatCount - 1);
    }
    return summary;
}

std::shared_ptr<TRecordList> DecodeLog(const QByteArray& raw, int currentYear)
{
    const qint64 count = raw.size() / qint64(sizeof(TLogRecord));
    auto records = std::make_shared<TRecordList>(currentYear);
    records->reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        TLogRecord record;
        std::memcpy(&record, raw.constData() + i * qint64(sizeof(TLogRecord)), sizeof record);
        records->appendIfValid(record);
    }
    return records;
}

// The fastest zlib level: logs are small enough that a stronger level buys a
// few percent of space for several times the time of a load.
constexpr int CompressionLevel = 1;

TPackedLog PackLog(const QByteArray& raw)
{
    return {qCompress(raw, CompressionLevel), Sha256Of(raw)};
}

QString Sha256Of(const QByteArray& raw)
{
    return QString::fromLatin1(QCryptographicHash::hash(raw, QCryptographicHash::Sha256).toHex());
}

std::optional<QByteArray> UnpackLog(const QByteArray& compressed, const QString& sha256)
{
    // Bytes that do not expand come back empty, and no log archived is empty.
    QByteArray raw = qUncompress(compressed);
    if (raw.isEmpty() || Sha256Of(raw) != sha256)
        return std::nullopt;
    return raw;
}

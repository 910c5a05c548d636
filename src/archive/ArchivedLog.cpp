#include "archive/ArchivedLog.h"

#include "data/LogRecord.h"

#include <QCryptographicHash>

#include <cstring>

TLogSummary SummarizeLog(const QByteArray& raw, int currentYear)
{
    TLogSummary summary;
    summary.recordCount = raw.size() / qint64(sizeof(TLogRecord));
    bool first = true;
    for (qint64 i = 0; i < summary.recordCount; ++i) {
        TLogRecord record;
        std::memcpy(&record, raw.constData() + i * qint64(sizeof(TLogRecord)), sizeof record);
        if (!IsValidRecord(record, currentYear))
            continue;
        const TExpandedRecord expanded = ExpandRecord(record, currentYear);
        if (first)
            summary.firstTime = expanded.baseTime;
        first = false;
        summary.lastTime = expanded.rowTime(expanded.repeatCount - 1);
        summary.rowCount += expanded.repeatCount;
    }
    return summary;
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

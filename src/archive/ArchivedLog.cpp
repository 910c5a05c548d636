#include "archive/ArchivedLog.h"

#include "data/RecordList.h"

#include <QtConcurrent/QtConcurrentRun>
#include <QtEndian>

#include <openssl/evp.h>
#include <zlib.h>

#include <cstring>

TLogSummary SummarizeLog(const QByteArray& raw, int currentYear)
{
    return SummarizeLog(raw, *DecodeLog(raw, currentYear));
}

TLogSummary SummarizeLog(const QByteArray& raw, const TRecordList& records)
{
    TLogSummary summary;
    summary.recordCount = raw.size() / qint64(sizeof(TLogRecord));
    for (qsizetype i = 0; i < records.size(); ++i)
        summary.rowCount += records.at(i).repeatCount;
    if (!records.isEmpty()) {
        const TExpandedRecord last = records.expanded(records.size() - 1);
        summary.firstTime = records.baseTime(0);
        summary.lastTime = last.rowTime(last.repeatCount - 1);
    }
    return summary;
}

std::shared_ptr<TRecordList> DecodeLog(const QByteArray& raw, int currentYear)
{
    return std::make_shared<TRecordList>(TRawRecords::firstOf(raw), currentYear);
}

namespace {

// zlib's fastest level: over byte columns it already packs a log to about a
// quarter, and a stronger level costs several times the time of a load.
constexpr int CompressionLevel = 1;
constexpr qsizetype RecordSize = qsizetype(sizeof(TLogRecord));

// The records' bytes regrouped by position: every record's byte 0, then every
// byte 1, and so on, a partial last record left at the end as it is. Times,
// counts and readings change little from one record to the next, so the
// columns hold long runs that compress better and faster than the records.
// The same walk takes columns back to records.
enum class TRegroup { IntoColumns, IntoRecords };

void regroupInto(const char* source, qsizetype size, char* target, TRegroup direction)
{
    const qsizetype records = size / RecordSize;
    const bool intoColumns = direction == TRegroup::IntoColumns;
    for (qsizetype byte = 0; byte < RecordSize; ++byte) {
        for (qsizetype i = 0; i < records; ++i) {
            const qsizetype inRecords = i * RecordSize + byte;
            const qsizetype inColumns = byte * records + i;
            target[intoColumns ? inColumns : inRecords] = source[intoColumns ? inRecords : inColumns];
        }
    }
    const qsizetype whole = records * RecordSize;
    std::memcpy(target + whole, source + whole, size_t(size - whole));
}

QByteArray regroup(const QByteArray& from, TRegroup direction)
{
    QByteArray to(from.size(), Qt::Uninitialized);
    regroupInto(from.constData(), from.size(), to.data(), direction);
    return to;
}

// More than any logger's memory holds: a size beyond it can only be damage.
constexpr qsizetype MaxExpandedBytes = qsizetype(1) << 30;

} // namespace

TPackedLog PackLog(const QByteArray& raw)
{
    // The compression beside the hash, on two cores at once. The hash stays on
    // the caller's thread, which OpenSSL keeps its per-thread state for and
    // frees when that thread ends; a pooled thread outlives the program's cleanup.
    QFuture<QByteArray> compressed =
        QtConcurrent::run([&raw] { return qCompress(regroup(raw, TRegroup::IntoColumns), CompressionLevel); });
    QString sha256 = Sha256Of(raw);
    return {compressed.result(), std::move(sha256)};
}

// OpenSSL's SHA-256 uses the processor's SHA instructions where it has them:
// ten times Qt's own on a full log, which every open from the archive checks.
QString Sha256Of(const QByteArray& raw)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(raw.constData(), size_t(raw.size()), digest, &length, EVP_sha256(), nullptr) != 1)
        return {}; // matches no stored SHA-256, so the records are refused
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), int(length)).toHex());
}

std::optional<QByteArray> UnpackLog(const QByteArray& compressed, const QString& sha256)
{
    // Bytes that do not expand come back empty, and no log archived is empty.
    QByteArray raw = regroup(qUncompress(compressed), TRegroup::IntoRecords);
    if (raw.isEmpty() || Sha256Of(raw) != sha256)
        return std::nullopt;
    return raw;
}

bool TLogChecker::matches(const QByteArray& compressed, const QString& sha256)
{
    // qCompress's form: the expanded size, big-endian, then a zlib stream.
    if (compressed.size() <= 4)
        return false;
    const auto* packed = reinterpret_cast<const uchar*>(compressed.constData());
    const qsizetype expanded = qFromBigEndian<quint32>(packed);
    if (expanded == 0 || expanded > MaxExpandedBytes)
        return false;
    columns_.resize(expanded);
    records_.resize(expanded);
    uLongf written = uLongf(expanded);
    if (::uncompress(reinterpret_cast<Bytef*>(columns_.data()), &written, packed + 4, uLong(compressed.size() - 4))
            != Z_OK
        || qsizetype(written) != expanded)
        return false;
    regroupInto(columns_.constData(), expanded, records_.data(), TRegroup::IntoRecords);
    return Sha256Of(records_) == sha256;
}

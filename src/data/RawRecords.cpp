#include "data/RawRecords.h"

#include <algorithm>

TRawRecords::TRawRecords(QByteArray wholeRecords)
    : bytes_(std::move(wholeRecords))
{
    Q_ASSERT(bytes_.size() % qsizetype(sizeof(TLogRecord)) == 0);
}

TRawRecords TRawRecords::firstOf(const QByteArray& bytes, qint64 limit)
{
    const qint64 count = std::min(bytes.size() / qint64(sizeof(TLogRecord)), limit);
    const qsizetype kept = qsizetype(count * qint64(sizeof(TLogRecord)));
    return TRawRecords(kept == bytes.size() ? bytes : bytes.first(kept));
}

std::span<const TLogRecord> TRawRecords::records() const
{
    // The records are byte arrays only, so any address of the bytes holds them.
    static_assert(alignof(TLogRecord) == 1);
    return {reinterpret_cast<const TLogRecord*>(bytes_.constData()), size_t(size())};
}

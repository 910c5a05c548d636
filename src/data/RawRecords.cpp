#include "data/RawRecords.h"

TRawRecords::TRawRecords(QByteArray wholeRecords)
    : bytes_(std::move(wholeRecords))
{
    Q_ASSERT(bytes_.size() % qsizetype(sizeof(TLogRecord)) == 0);
}

std::span<const TLogRecord> TRawRecords::records() const
{
    // The records are byte arrays only, so any address of the bytes holds them.
    static_assert(alignof(TLogRecord) == 1);
    return {reinterpret_cast<const TLogRecord*>(bytes_.constData()), size_t(size())};
}

#include "data/RecordList.h"

#include "data/Timestamp.h"

#include <numeric>

TRecordList::TRecordList(int currentYear)
    : currentYear_(currentYear)
    , origin_(TimestampSeconds(currentYear - 50, 1, 1, 0, 0, 0))
{
}

TRecordList::TRecordList(const TRawRecords& raw, int currentYear)
    : TRecordList(currentYear)
{
    bytes_ = raw.bytes();
    baseOffsets_.reserve(size_t(raw.size()));
    const std::span<const TLogRecord> records = raw.records();
    for (qsizetype position = 0; position < qsizetype(records.size()); ++position) {
        const TLogRecord& record = records[size_t(position)];
        if (IsValidRecord(record, currentYear_))
            keep(record, position);
    }
}

void TRecordList::reserve(qsizetype count)
{
    bytes_.reserve(count * qsizetype(sizeof(TLogRecord)));
    baseOffsets_.reserve(size_t(count));
}

bool TRecordList::appendIfValid(const TLogRecord& record)
{
    if (!IsValidRecord(record, currentYear_))
        return false;
    append(record);
    return true;
}

void TRecordList::append(const TLogRecord& record)
{
    bytes_.append(reinterpret_cast<const char*>(&record), qsizetype(sizeof record));
    keep(record, bytes_.size() / qsizetype(sizeof record) - 1);
}

void TRecordList::keep(const TLogRecord& record, qsizetype position)
{
    const bool atItsIndex = positions_.empty() && position == size();
    if (!atItsIndex) {
        if (positions_.empty()) {
            // The first record kept after an invalid one: every earlier one sat at its index.
            positions_.resize(baseOffsets_.size());
            std::iota(positions_.begin(), positions_.end(), 0u);
        }
        positions_.push_back(quint32(position));
    }
    baseOffsets_.push_back(quint32(BaseTimestamp(record, currentYear_) - origin_));
}

void TRecordList::appendRows(const TRecordList& from, qsizetype index, int first, int count)
{
    Q_ASSERT(from.currentYear_ == currentYear_);
    const TCompactRecord rows = from.at(index);
    const qint64 base = from.baseTime(index) + qint64(first) * IntervalSeconds(rows.intervalAndChannels >> 4);
    append(MakeLogRecord(count, rows.intervalAndChannels, base, rows.temperature, rows.humidity, rows.pressure));
}

TExpandedRecord TRecordList::expanded(qsizetype index) const
{
    const TCompactRecord r = at(index);
    return ExpandFields(baseTime(index), r.repeatCount, r.intervalAndChannels, r.temperature, r.humidity,
                        r.pressure);
}

QString TRecordList::dumpLine(qsizetype index) const
{
    return DumpLine(recordAt(index));
}

qsizetype TRecordList::memoryBytes() const
{
    const qsizetype decoding = qsizetype((baseOffsets_.capacity() + positions_.capacity()) * sizeof(quint32));
    return decoding + (bytes_.isDetached() ? bytes_.capacity() : 0);
}

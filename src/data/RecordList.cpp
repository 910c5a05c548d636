#include "data/RecordList.h"

#include "data/Timestamp.h"

TRecordList::TRecordList(int currentYear)
    : currentYear_(currentYear)
    , origin_(TimestampSeconds(currentYear - 50, 1, 1, 0, 0, 0))
{
}

void TRecordList::reserve(qsizetype count)
{
    records_.reserve(size_t(count));
}

bool TRecordList::appendIfValid(const TLogRecord& record)
{
    if (!IsValidRecord(record, currentYear_))
        return false;
    records_.push_back(TCompactRecord{quint32(BaseTimestamp(record, currentYear_) - origin_), record.RawTemperature(),
                                      record.RawHumidity(), record.RawPressure(), record.RepeatCount,
                                      record.IntervalAndChannels});
    return true;
}

void TRecordList::appendRows(const TRecordList& from, qsizetype index, int first, int count)
{
    Q_ASSERT(from.origin_ == origin_);
    TCompactRecord rows = from.at(index);
    rows.baseOffset += quint32(first * IntervalSeconds(rows.intervalAndChannels >> 4));
    rows.repeatCount = quint8(count);
    records_.push_back(rows);
}

TExpandedRecord TRecordList::expanded(qsizetype index) const
{
    const TCompactRecord& r = at(index);
    return ExpandFields(baseTime(index), r.repeatCount, r.intervalAndChannels, r.temperature, r.humidity,
                        r.pressure);
}

std::optional<int> TRecordList::channelValue(TChannelBit channel, qsizetype index) const
{
    const TCompactRecord& r = at(index);
    if (!(r.intervalAndChannels & channel))
        return std::nullopt;
    switch (channel) {
    case ChannelTemperature:
        return r.temperature;
    case ChannelHumidity:
        return r.humidity;
    case ChannelPressure:
        return r.pressure;
    }
    return std::nullopt;
}

QString TRecordList::dumpLine(qsizetype index) const
{
    // The two-digit year and every value survive decoding unchanged, so the
    // record's bytes can be rebuilt for the one dump formatter.
    const TCompactRecord& r = at(index);
    return DumpLine(MakeLogRecord(r.repeatCount, r.intervalAndChannels, baseTime(index), r.temperature, r.humidity,
                                  r.pressure));
}

#include "data/MeasurementStore.h"

#include "text/FormatLocale.h"

#include <QDate>

#include <algorithm>

TMeasurementStore::TMeasurementStore()
    : records_(std::make_shared<TRecordList>(QDate::currentDate().year()))
    , loadLocale_(FormatLocale())
{
}

void TMeasurementStore::showRecords(std::shared_ptr<const TRecordList> records)
{
    records_ = std::move(records);
    loadLocale_ = FormatLocale();
    rebuildIndexes();
    if (!records_->isEmpty()) {
        // The period runs from the first row to the last one, so a period
        // filter left at these bounds keeps every repetition of the last record.
        const TExpandedRecord last = records_->expanded(records_->size() - 1);
        firstTimestamp_ = records_->baseTime(0);
        lastTimestamp_ = last.rowTime(last.repeatCount - 1);
    }
}

void TMeasurementStore::rebuildIndexes()
{
    const TRecordList& list = *records_;
    const qsizetype count = list.size();
    rowEnds_.clear();
    rowEnds_.shrink_to_fit();
    rowEnds_.reserve(size_t(count));
    runStarts_.clear();
    runStarts_.shrink_to_fit();
    quint32 rows = 0;
    int runInterval = -1;
    for (qsizetype i = 0; i < count; ++i) {
        const TCompactRecord record = list.at(i);
        rows += record.repeatCount;
        rowEnds_.push_back(rows);
        if (const int interval = record.intervalAndChannels >> 4; interval != runInterval) {
            runStarts_.push_back(quint32(i));
            runInterval = interval;
        }
    }
    for (TChannelBit channel : AllChannels)
        channelIndexes_[ChannelSlot(channel)].build(count, [&](qsizetype i) { return list.channelValue(channel, i); });
}

TRowPosition TMeasurementStore::locateRow(qint64 row) const
{
    const auto found = std::upper_bound(rowEnds_.begin(), rowEnds_.end(), quint64(row),
                                        [](quint64 value, quint32 end) { return value < end; });
    const qsizetype record = found - rowEnds_.begin();
    return TRowPosition{record, int(row - recordFirstRow(record))};
}

TRowValues TMeasurementStore::rowValues(qint64 row) const
{
    const TRowPosition position = locateRow(row);
    return records_->expanded(position.record).row(position.repetition, row + 1);
}

std::optional<TValueRange> TMeasurementStore::channelRange(TChannelBit channel, qsizetype first, qsizetype last) const
{
    first = std::max<qsizetype>(first, 0);
    last = std::min(last, records_->size() - 1);
    return channelIndexes_[ChannelSlot(channel)].range(
        first, last, [&](qsizetype i) { return records_->channelValue(channel, i); });
}

TIntervalRun TMeasurementStore::intervalRun(qsizetype index) const
{
    const qsizetype firstRecord = runStarts_[size_t(index)];
    const qsizetype endRecord = index + 1 < intervalRunCount() ? runStarts_[size_t(index + 1)] : records_->size();
    return TIntervalRun{recordFirstRow(firstRecord), recordEndRow(endRecord - 1) - 1,
                        IntervalSeconds(records_->at(firstRecord).intervalAndChannels >> 4)};
}

qsizetype TMeasurementStore::memoryBytes() const
{
    qsizetype bytes = records_->memoryBytes();
    bytes += qsizetype((rowEnds_.capacity() + runStarts_.capacity()) * sizeof(quint32));
    for (const TMinMaxIndex& index : channelIndexes_)
        bytes += index.memoryBytes();
    return bytes;
}

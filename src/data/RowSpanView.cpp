#include "data/RowSpanView.h"

#include <algorithm>

TRowSpanView::TRowSpanView(const TMeasurementStore& store, const std::vector<TRowSpan>& spans)
    : store_(store)
{
    for (const TRowSpan& span : spans) {
        if (span.firstRow >= 0 && span.firstRow < store_.DataRowCount())
            append(span, store_.locateRow(span.firstRow).record);
    }
    buildIndexes();
}

void TRowSpanView::buildIndexes()
{
    const TRecordList& records = store_.records();
    for (TChannelBit channel : AllChannels) {
        channelIndexes_[ChannelSlot(channel)].build(
            spanCount(), [&](qsizetype i) { return records.channelValue(channel, spanRecord(i)); });
    }
}

void TRowSpanView::append(const TRowSpan& span, qsizetype record)
{
    if (span.rowCount <= 0)
        return;
    if (!spans_.empty() && record <= spans_.back().record)
        return;
    const qint64 end = std::min(span.firstRow + span.rowCount, store_.recordEndRow(record));
    spans_.push_back(Entry{TRowSpan{span.firstRow, end - span.firstRow}, record});
    spanEnds_.push_back(rowCount() + end - span.firstRow);
}

TRowSpanView TRowSpanView::byPeriod(const TMeasurementStore& store, qint64 from, qint64 to,
                                    const std::function<bool(const TExpandedRecord&)>& keepRecord)
{
    // The records are known here: no row needs looking up.
    TRowSpanView view(store, {});
    const TRecordList& records = store.records();
    for (qsizetype i = 0; i < records.size(); ++i) {
        const TExpandedRecord record = records.expanded(i);
        if (keepRecord && !keepRecord(record))
            continue;
        // Repetition j lies at base + j * step: the first and last j inside the period.
        const qint64 step = IntervalSeconds(record.intervalCode);
        const qint64 first = std::max<qint64>(0, (from - record.baseTime + step - 1) / step);
        const qint64 last = std::min<qint64>(record.repeatCount - 1, to >= record.baseTime
                                                                         ? (to - record.baseTime) / step
                                                                         : -1);
        if (first <= last)
            view.append(TRowSpan{store.recordFirstRow(i) + first, last - first + 1}, i);
    }
    view.buildIndexes();
    return view;
}

qsizetype TRowSpanView::spanOfRow(qint64 viewRow) const
{
    return std::upper_bound(spanEnds_.begin(), spanEnds_.end(), viewRow) - spanEnds_.begin();
}

qint64 TRowSpanView::storeRow(qint64 viewRow) const
{
    const qsizetype index = spanOfRow(viewRow);
    const qint64 spanStart = index == 0 ? 0 : spanEnds_[size_t(index - 1)];
    return span(index).firstRow + (viewRow - spanStart);
}

std::optional<TValueRange> TRowSpanView::channelRange(TChannelBit channel, qint64 first, qint64 last) const
{
    first = std::max<qint64>(first, 0);
    last = std::min(last, rowCount() - 1);
    if (first > last)
        return std::nullopt;
    const TRecordList& records = store_.records();
    return channelIndexes_[ChannelSlot(channel)].range(
        spanOfRow(first), spanOfRow(last),
        [&](qsizetype i) { return records.channelValue(channel, spanRecord(i)); });
}

std::shared_ptr<const TRecordList> TRowSpanView::recordList() const
{
    const TRecordList& records = store_.records();
    auto list = std::make_shared<TRecordList>(records.currentYear());
    list->reserve(spanCount());
    for (const Entry& entry : spans_) {
        list->appendRows(records, entry.record, int(entry.span.firstRow - store_.recordFirstRow(entry.record)),
                         int(entry.span.rowCount));
    }
    return list;
}

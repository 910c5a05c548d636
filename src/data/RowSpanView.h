#pragma once

#include "data/MeasurementStore.h"

#include <functional>
#include <memory>
#include <vector>

// Consecutive data rows of one record.
struct TRowSpan {
    qint64 firstRow = 0; // store data row index from 0
    qint64 rowCount = 0;
};

// A filtered view of the store: a list of row spans in store order, at most
// one per record (every row of a record has the same values and rising
// times, so a period or a value filter cuts a record into one span at most).
// View rows are numbered from 0 and map to store rows. A view belongs to the
// store's current load; the next load calls for a new one.
class TRowSpanView
{
public:
    // Spans are clipped to the record their first row lies in; empty spans and
    // spans that do not come after the previous one's record are dropped.
    TRowSpanView(const TMeasurementStore& store, const std::vector<TRowSpan>& spans);

    // The rows whose time lies in from..to (both included), of the records the
    // predicate keeps (all records when it is empty).
    static TRowSpanView byPeriod(const TMeasurementStore& store, qint64 from, qint64 to,
                                 const std::function<bool(const TExpandedRecord&)>& keepRecord = {});

    const TMeasurementStore& store() const { return store_; }
    qint64 rowCount() const { return spanEnds_.empty() ? 0 : spanEnds_.back(); }
    qsizetype spanCount() const { return qsizetype(spans_.size()); }
    const TRowSpan& span(qsizetype index) const { return spans_[size_t(index)].span; }
    qsizetype spanRecord(qsizetype index) const { return spans_[size_t(index)].record; }

    qint64 storeRow(qint64 viewRow) const;
    TRowValues rowValues(qint64 viewRow) const { return store_.rowValues(storeRow(viewRow)); }
    // The view's rows as records of their own, a span each: a store shows
    // them as these rows alone.
    std::shared_ptr<const TRecordList> recordList() const;
    // Range of a channel's tenths over view rows first..last (inclusive).
    std::optional<TValueRange> channelRange(TChannelBit channel, qint64 first, qint64 last) const;

private:
    struct Entry {
        TRowSpan span;
        qsizetype record;
    };
    qsizetype spanOfRow(qint64 viewRow) const;
    // A span whose first row lies in the given record.
    void append(const TRowSpan& span, qsizetype record);
    void buildIndexes();

    const TMeasurementStore& store_;
    std::vector<Entry> spans_;
    std::vector<qint64> spanEnds_; // view rows of spans 0..i together
    std::array<TMinMaxIndex, 3> channelIndexes_;
};

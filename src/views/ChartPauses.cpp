#include "views/ChartPauses.h"

#include <algorithm>

namespace ChartPauses {

namespace {

// The last row of a stretch: its time and its record's interval.
struct TRowMoment {
    qint64 time = 0;
    int interval = 0;
};

// Read from the compact record: a whole log has a quarter of a million of them.
TRowMoment momentOf(const TMeasurementStore& store, qsizetype record, qint64 row)
{
    const TRecordList& records = store.records();
    const int interval = IntervalSeconds(records.at(record).intervalAndChannels >> 4);
    return {records.baseTime(record) + (row - store.recordFirstRow(record)) * interval, interval};
}

} // namespace

bool isPause(qint64 earlier, int earlierInterval, qint64 later, int laterInterval)
{
    const qint64 step = later - earlier;
    return step < 0 || step > std::max(earlierInterval, laterInterval);
}

std::vector<qint64> pausesIn(const TMeasurementStore& store)
{
    std::vector<qint64> pauses;
    const qsizetype records = store.DataRowCount() > 0 ? store.records().size() : 0;
    for (qsizetype record = 1; record < records; ++record) {
        const TRowMoment before = momentOf(store, record - 1, store.recordEndRow(record - 1) - 1);
        const qint64 firstRow = store.recordFirstRow(record);
        const TRowMoment after = momentOf(store, record, firstRow);
        if (isPause(before.time, before.interval, after.time, after.interval))
            pauses.push_back(firstRow);
    }
    return pauses;
}

std::vector<qint64> pausesIn(const TRowSpanView& period)
{
    std::vector<qint64> pauses;
    const TMeasurementStore& store = period.store();
    qint64 viewRow = period.spanCount() > 0 ? period.span(0).rowCount : 0;
    for (qsizetype span = 1; span < period.spanCount(); ++span) {
        const TRowSpan& previous = period.span(span - 1);
        const TRowSpan& current = period.span(span);
        const TRowMoment before =
            momentOf(store, period.spanRecord(span - 1), previous.firstRow + previous.rowCount - 1);
        const TRowMoment after = momentOf(store, period.spanRecord(span), current.firstRow);
        if (isPause(before.time, before.interval, after.time, after.interval))
            pauses.push_back(viewRow);
        viewRow += current.rowCount;
    }
    return pauses;
}

} // namespace ChartPauses

#include "views/ChartPeriod.h"

#include "data/RowTexts.h"
#include "data/Timestamp.h"

#include <algorithm>

namespace ChartPeriod {

namespace {

constexpr qint64 MsPerSecond = 1000;

qint64 secondsAtOrAfter(qint64 ms)
{
    const qint64 seconds = ms / MsPerSecond;
    return seconds * MsPerSecond < ms ? seconds + 1 : seconds;
}

qint64 secondsAtOrBefore(qint64 ms)
{
    const qint64 seconds = ms / MsPerSecond;
    return seconds * MsPerSecond > ms ? seconds - 1 : seconds;
}

} // namespace

qint64 momentMs(QDate date, QTime time)
{
    const qint64 seconds = TimestampSeconds(date.year(), date.month(), date.day(), time.hour(), time.minute(),
                                            time.second());
    return seconds * MsPerSecond + time.msec();
}

std::unique_ptr<TRowSpanView> rowsInPeriod(const TMeasurementStore& store, qint64 startMs, qint64 endMs)
{
    if (startMs >= endMs)
        return std::make_unique<TRowSpanView>(store, std::vector<TRowSpan>{});
    // Row moments are whole seconds.
    return std::make_unique<TRowSpanView>(
        TRowSpanView::byPeriod(store, secondsAtOrAfter(startMs), secondsAtOrBefore(endMs)));
}

QStringList intervalItems(const TMeasurementStore& store)
{
    const TRowTexts texts(store);
    QStringList items{QStringLiteral("Все")};
    for (qsizetype run = 0; run < store.intervalRunCount(); ++run)
        items << texts.intervalRunText(run);
    return items;
}

TItemEnds intervalItemEnds(const TMeasurementStore& store, int item)
{
    const TIntervalRun run = store.intervalRun(item - 1);
    // A logger clock set back within the run puts its last row before its
    // first: the period still has to hold every row of the run.
    TItemEnds ends{store.rowValues(run.firstRow).time, store.rowValues(run.lastRow).time};
    const qsizetype lastRecord = store.locateRow(run.lastRow).record;
    for (qsizetype record = store.locateRow(run.firstRow).record; record <= lastRecord; ++record) {
        const TExpandedRecord expanded = store.records().expanded(record);
        ends.first = std::min(ends.first, expanded.baseTime);
        ends.last = std::max(ends.last, expanded.rowTime(expanded.repeatCount - 1));
    }
    return ends;
}

} // namespace ChartPeriod

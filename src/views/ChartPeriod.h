#pragma once

#include "data/MeasurementStore.h"
#include "data/RowSpanView.h"

#include <QDate>
#include <QStringList>
#include <QTime>

#include <memory>

// The chart's period filter and its list of recording intervals, on the store.
namespace ChartPeriod {

// A picker date and time of day as milliseconds on the store's time line.
qint64 momentMs(QDate date, QTime time);

// The rows whose moment lies in start..end, both included; none unless the
// start lies strictly before the end.
std::unique_ptr<TRowSpanView> rowsInPeriod(const TMeasurementStore& store, qint64 startMs, qint64 endMs);

// "Все" and one "<date> <time> - <date> <time>" item per run of equal intervals.
QStringList intervalItems(const TMeasurementStore& store);

// Earliest and latest moment (whole seconds) of the run that interval item
// `item` (from 1) lists: read from the rows, not parsed back from the item's
// text, and in order even when the logger's clock went back within the run.
struct TItemEnds {
    qint64 first = 0;
    qint64 last = 0;
};
TItemEnds intervalItemEnds(const TMeasurementStore& store, int item);

} // namespace ChartPeriod

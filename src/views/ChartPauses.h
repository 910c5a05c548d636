#pragma once

#include "data/MeasurementStore.h"
#include "data/RowSpanView.h"

#include <vector>

// Where the chart's curves break: between two neighbouring rows farther
// apart in time than the recording interval of either (a pause, a logger
// switched off), or whose time runs backwards (a clock set back). Rows of
// one record are one interval apart, so only record boundaries are looked at.
namespace ChartPauses {

// Whether a row at `later` (recorded every laterInterval seconds) follows
// one at `earlier` (every earlierInterval seconds) after a pause.
bool isPause(qint64 earlier, int earlierInterval, qint64 later, int laterInterval);

// Point indices, ascending, of the rows that come after a pause: over all
// the store's rows, and over the rows of a period.
std::vector<qint64> pausesIn(const TMeasurementStore& store);
std::vector<qint64> pausesIn(const TRowSpanView& period);

} // namespace ChartPauses

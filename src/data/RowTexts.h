#pragma once

#include "data/CellFormatter.h"

#include <QString>

class TMeasurementStore;

// The texts of the store's rows as the table, the chart and the interval
// selector show them, in the locale of the store's load: made anew after every
// load. Data rows are indexed from 0, as in the store.
class TRowTexts
{
public:
    explicit TRowTexts(const TMeasurementStore& store);

    // Empty outside the store's rows.
    QString cellText(qint64 row, int column) const;
    // The time and date of the row's record.
    QString pointLabel(qint64 row) const;
    // "<date> <time> - <date> <time>" of the interval run's first and last rows.
    QString intervalRunText(qsizetype run) const;

    const TCellFormatter& formatter() const { return formatter_; }

private:
    const TMeasurementStore* store_;
    TCellFormatter formatter_;
};

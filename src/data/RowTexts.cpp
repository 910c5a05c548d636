#include "data/RowTexts.h"

#include "data/MeasurementStore.h"

TRowTexts::TRowTexts(const TMeasurementStore& store)
    : store_(&store)
    , formatter_(store.loadLocale())
{
}

QString TRowTexts::cellText(qint64 row, int column) const
{
    if (row < 0 || row >= store_->DataRowCount())
        return QString();
    return formatter_.cellText(store_->rowValues(row), column);
}

QString TRowTexts::pointLabel(qint64 row) const
{
    return formatter_.pointLabel(store_->records().baseTime(store_->locateRow(row).record));
}

QString TRowTexts::intervalRunText(qsizetype run) const
{
    const TIntervalRun rows = store_->intervalRun(run);
    return formatter_.dateTimeText(store_->rowValues(rows.firstRow).time) + QStringLiteral(" - ")
         + formatter_.dateTimeText(store_->rowValues(rows.lastRow).time);
}

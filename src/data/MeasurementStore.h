#pragma once

#include "data/LogRecord.h"
#include "data/MinMaxIndex.h"
#include "data/RecordList.h"

#include <QLocale>

#include <array>
#include <memory>
#include <vector>

// Where a data row comes from: a record of the shown source and which of its
// repetitions (from 0).
struct TRowPosition {
    qsizetype record = 0;
    int repetition = 0;
};

// A run of consecutive data rows with the same recording interval.
struct TIntervalRun {
    qint64 firstRow = 0; // data row index from 0
    qint64 lastRow = 0;
    int intervalSeconds = 0;
};

// The loaded measurements. Rows are never materialised: the shown source's
// valid records are kept decoded, a prefix sum of their repeat counts maps a
// row to its record, and every row's values are produced on demand (TRowTexts
// writes them as text). Data rows are indexed from 0 here; the row table's "#"
// shows index + 1.
class TMeasurementStore
{
public:
    TMeasurementStore();

    // Replaces rows and series with the given source's records; the period
    // bounds follow them unless the list is empty.
    void showRecords(std::shared_ptr<const TRecordList> records);

    // Row table.
    qint64 DataRowCount() const { return rowEnds_.empty() ? 0 : qint64(rowEnds_.back()); }
    TRowValues rowValues(qint64 row) const;
    TRowPosition locateRow(qint64 row) const;

    // The shown source's records and their rows.
    const TRecordList& records() const { return *records_; }
    qint64 recordFirstRow(qsizetype record) const { return record == 0 ? 0 : qint64(rowEnds_[size_t(record - 1)]); }
    qint64 recordEndRow(qsizetype record) const { return qint64(rowEnds_[size_t(record)]); }
    // Range of a channel's tenths over records first..last (inclusive).
    std::optional<TValueRange> channelRange(TChannelBit channel, qsizetype first, qsizetype last) const;

    // Period bounds: the timestamps of the first and last rows shown.
    qint64 firstTimestamp() const { return firstTimestamp_; }
    qint64 lastTimestamp() const { return lastTimestamp_; }

    qsizetype intervalRunCount() const { return qsizetype(runStarts_.size()); }
    TIntervalRun intervalRun(qsizetype index) const;
    // The format locale when the shown records were loaded: their texts are
    // written in it, so one load never shows two formats.
    const QLocale& loadLocale() const { return loadLocale_; }

    // Heap bytes of the records, the row index, the min/max levels and the runs.
    qsizetype memoryBytes() const;

private:
    void rebuildIndexes();

    std::shared_ptr<const TRecordList> records_;
    std::vector<quint32> rowEnds_; // rows of records 0..i together
    std::array<TMinMaxIndex, 3> channelIndexes_;
    std::vector<quint32> runStarts_; // first record of every interval run
    qint64 firstTimestamp_ = 0;
    qint64 lastTimestamp_ = 0;
    QLocale loadLocale_;
};

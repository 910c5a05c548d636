#pragma once

#include "data/CellFormatter.h"
#include "data/LogRecord.h"
#include "data/MinMaxIndex.h"
#include "data/RecordList.h"
#include "data/SourceDiscovery.h"

#include <QStringList>

#include <array>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

// Where a data row comes from: a record of the shown source and which of its
// repetitions (from 0).
struct TRowPosition {
    qsizetype record = 0;
    int repetition = 0;
};

// An accepted source of the last load: its valid records decoded and every
// record as read, invalid ones included; no records when it could not be read.
struct TLoadedSource {
    TSourceCandidate source;
    std::shared_ptr<const TRecordList> records;
    std::vector<TLogRecord> rawRecords;
};

// A run of consecutive data rows with the same recording interval.
struct TIntervalRun {
    qint64 firstRow = 0; // data row index from 0
    qint64 lastRow = 0;
    int intervalSeconds = 0;
};

// The loaded measurements. Rows are never materialised: the shown source's
// valid records are kept decoded, a prefix sum of their repeat counts maps a
// row to its record, and every cell and chart point is produced on demand.
// Data rows are indexed from 0 here; the row table's "#" shows index + 1, and
// grid rows (gridCellText) put the header at 0 and one empty row after the data.
class TMeasurementStore
{
public:
    static constexpr qint32 RawRecordCapacity = 4194304;
    static constexpr int LimitTMax = 369;
    static constexpr int LimitTMin = 123;
    static constexpr int LimitRHMax = 674;
    static constexpr int LimitRHMin = 216;

    TMeasurementStore();

    // The staging buffer the reader fills from slot 0; allocated zeroed once,
    // its pages are only committed as records are read into them.
    std::span<TLogRecord> RawRecords() { return {rawRecords_.get(), size_t(RawRecordCapacity)}; }
    std::span<const TLogRecord> RawRecords() const { return {rawRecords_.get(), size_t(RawRecordCapacity)}; }

    qint32 RecordCount() const { return recordCount_; }
    // The shown source's records as read, invalid ones included: what "save
    // as log" writes unchanged.
    std::span<const TLogRecord> ShownRawRecords() const;
    // Clamped to 0..RawRecordCapacity, so no count can overrun the buffer.
    void setRecordCount(qint64 count);

    // Empties rows, series and the loaded sources; keeps the raw buffer,
    // RecordCount and the period bounds.
    void ClearStore();
    // Keeps the accepted sources of a load and shows the first readable one;
    // with none, an empty list of the given year.
    void setLoadedSources(std::vector<TLoadedSource> sources, int currentYear);
    const std::vector<TLoadedSource>& loadedSources() const { return loadedSources_; }
    // Index into loadedSources() of the shown source; -1 when none is.
    qsizetype shownSourceIndex() const { return shownSource_; }
    // Shows a kept source without reading it again; false (nothing changes)
    // for an index out of range or a source that could not be read.
    bool showSource(qsizetype index);
    // Replaces rows and series with the given source's records; the period
    // bounds follow them unless the list is empty.
    void showRecords(std::shared_ptr<const TRecordList> records);

    // Row table.
    qint64 DataRowCount() const { return rowEnds_.empty() ? 0 : qint64(rowEnds_.back()); }
    qint64 gridRowCount() const { return DataRowCount() + 2; }
    QString gridCellText(qint64 gridRow, int column) const;
    QString cellText(qint64 row, int column) const;
    TRowValues rowValues(qint64 row) const;
    TRowPosition locateRow(qint64 row) const;
    QString pointLabel(qint64 row) const;

    // The shown source's records and their rows.
    const TRecordList& records() const { return *records_; }
    std::shared_ptr<const TRecordList> sharedRecords() const { return records_; }
    qint64 recordFirstRow(qsizetype record) const { return record == 0 ? 0 : qint64(rowEnds_[size_t(record - 1)]); }
    qint64 recordEndRow(qsizetype record) const { return qint64(rowEnds_[size_t(record)]); }
    // Range of a channel's tenths over records first..last (inclusive).
    std::optional<TValueRange> channelRange(TChannelBit channel, qsizetype first, qsizetype last) const;

    // Period bounds as TDateTime parts, and the timestamps of the first and last rows they come from.
    double FirstDate() const;
    double FirstTime() const;
    double LastDate() const;
    double LastTime() const;
    qint64 firstTimestamp() const { return firstTimestamp_; }
    qint64 lastTimestamp() const { return lastTimestamp_; }

    qsizetype intervalRunCount() const { return qsizetype(runStarts_.size()); }
    TIntervalRun intervalRun(qsizetype index) const;
    // "<date> <time> - <date> <time>" of the run's first and last rows.
    QString intervalRunText(qsizetype index) const;

    // Sources of the last load.
    const QList<TSourceCandidate>& candidates() const { return candidates_; }
    const QList<TSourceCandidate>& acceptedSources() const { return acceptedSources_; }
    void setSources(QList<TSourceCandidate> candidates, QList<TSourceCandidate> accepted);

    const TCellFormatter& formatter() const { return formatter_; }
    // Heap bytes held beside the raw buffer (records, row index, min/max
    // levels, runs, the kept sources' records as read).
    qsizetype memoryBytes() const;

private:
    void rebuildIndexes();

    std::unique_ptr<TLogRecord[], decltype(&std::free)> rawRecords_;
    qint32 recordCount_ = 0;
    std::vector<TLoadedSource> loadedSources_;
    qsizetype shownSource_ = -1;
    std::shared_ptr<const TRecordList> records_;
    std::vector<quint32> rowEnds_; // rows of records 0..i together
    std::array<TMinMaxIndex, 3> channelIndexes_;
    std::vector<quint32> runStarts_; // first record of every interval run
    qint64 firstTimestamp_ = 0;
    qint64 lastTimestamp_ = 0;
    QList<TSourceCandidate> candidates_;
    QList<TSourceCandidate> acceptedSources_;
    TCellFormatter formatter_;
};

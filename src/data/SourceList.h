#pragma once

#include "data/RawRecords.h"
#include "data/RecordList.h"
#include "data/SourceDiscovery.h"

#include <memory>
#include <span>
#include <vector>

class TMeasurementStore;
struct TLoadResult;

// An accepted source of the last load: its valid records decoded and every
// record as read, invalid ones included; no records when it could not be read.
struct TLoadedSource {
    TSourceCandidate source;
    std::shared_ptr<const TRecordList> records;
    TRawRecords raw;
};

// The accepted sources of the last load, kept so another one can be shown,
// or saved unchanged, without reading it again; the shown one is in the store.
class TSourceList
{
public:
    explicit TSourceList(TMeasurementStore& store);

    // Takes the load's sources and shows the first readable one; with none,
    // an empty list of the load's year. A load that found sources but could
    // read none of them leaves everything as it was.
    void adopt(TLoadResult& result);

    const std::vector<TLoadedSource>& loadedSources() const { return loadedSources_; }
    // Index into loadedSources() of the shown source; -1 when none is.
    qsizetype shownSourceIndex() const { return shownSource_; }
    // Shows a kept source without reading it again; false (nothing changes)
    // for an index out of range or a source that could not be read.
    bool showSource(qsizetype index);
    // The shown source's records as read, invalid ones included: what "save
    // as log" writes unchanged.
    std::span<const TLogRecord> shownRawRecords() const;
    // The same records as shared bytes, to keep or write without a copy.
    TRawRecords shownRaw() const;
    // Heap bytes of the kept sources' records as read.
    qsizetype rawMemoryBytes() const;

private:
    TMeasurementStore& store_;
    std::vector<TLoadedSource> loadedSources_;
    qsizetype shownSource_ = -1;
};

#include "data/SourceList.h"

#include "data/Loader.h"
#include "data/MeasurementStore.h"

TSourceList::TSourceList(TMeasurementStore& store)
    : store_(store)
{
}

void TSourceList::adopt(TLoadResult& result)
{
    if (result.keepsPrevious)
        return;
    loadedSources_ = std::move(result.sources);
    shownSource_ = -1;
    for (qsizetype index = 0; index < qsizetype(loadedSources_.size()); ++index) {
        if (showSource(index))
            return;
    }
    store_.showRecords(std::make_shared<TRecordList>(result.currentYear));
}

bool TSourceList::showSource(qsizetype index)
{
    if (index < 0 || index >= qsizetype(loadedSources_.size()) || !loadedSources_[size_t(index)].records)
        return false;
    shownSource_ = index;
    store_.showRecords(loadedSources_[size_t(index)].records);
    return true;
}

std::span<const TLogRecord> TSourceList::shownRawRecords() const
{
    if (shownSource_ < 0)
        return {};
    return loadedSources_[size_t(shownSource_)].raw.records();
}

TRawRecords TSourceList::shownRaw() const
{
    if (shownSource_ < 0)
        return {};
    return loadedSources_[size_t(shownSource_)].raw;
}

qsizetype TSourceList::rawMemoryBytes() const
{
    qsizetype bytes = 0;
    for (const TLoadedSource& source : loadedSources_)
        bytes += source.raw.bytes().capacity();
    return bytes;
}

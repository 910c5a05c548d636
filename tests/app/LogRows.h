#pragma once

#include "data/FolderVolumeSource.h"
#include "data/Loader.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"

#include <QString>

// The rows of a saved log as the program reads it, for checking what an export wrote.
inline qint64 rowsOf(const QString& path)
{
    TMeasurementStore store;
    const FolderVolumeSource noVolumes;
    TLoadResult result = TLoader(noVolumes).loadFile(path, TLoadRequest());
    TSourceList(store).adopt(result);
    return store.DataRowCount();
}

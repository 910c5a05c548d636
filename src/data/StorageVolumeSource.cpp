#include "data/StorageVolumeSource.h"

#include <QStorageInfo>

QList<TVolume> StorageVolumeSource::volumes() const
{
    QList<TVolume> result;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes())
        result.append(TVolume{storage.rootPath(), storage.name(), storage.isValid() && storage.isReady()});
    return result;
}

#pragma once

#include "data/VolumeSource.h"

// The machine's mounted volumes, as QStorageInfo reports them.
class StorageVolumeSource : public VolumeSource
{
public:
    QList<TVolume> volumes() const override;
};

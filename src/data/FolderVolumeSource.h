#pragma once

#include "data/VolumeSource.h"

// Plain folders standing for volumes, each with a given label: the simulated
// logger's drive, and drives in tests.
class FolderVolumeSource : public VolumeSource
{
public:
    void addFolder(const QString& rootPath, const QString& label, bool ready = true);
    QList<TVolume> volumes() const override { return volumes_; }

private:
    QList<TVolume> volumes_;
};

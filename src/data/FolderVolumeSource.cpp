#include "data/FolderVolumeSource.h"

void FolderVolumeSource::addFolder(const QString& rootPath, const QString& label, bool ready)
{
    volumes_.append(TVolume{rootPath, label, ready});
}

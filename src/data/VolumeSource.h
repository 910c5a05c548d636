#pragma once

#include <QList>
#include <QString>

// A mounted volume as discovery sees it.
struct TVolume {
    QString rootPath;
    QString label;
    bool ready = false;
};

// Lists the volumes the loader may find the logger's drive among.
class VolumeSource
{
public:
    virtual ~VolumeSource() = default;
    virtual QList<TVolume> volumes() const = 0;
};

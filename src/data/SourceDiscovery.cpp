#include "data/SourceDiscovery.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QList<TVolume> ScanDrives(const VolumeSource& source)
{
    QList<TVolume> drives;
    for (const TVolume& volume : source.volumes()) {
        if (volume.ready && QDir(volume.rootPath).exists())
            drives.append(volume);
    }
    return drives;
}

QList<TSourceCandidate> FindCandidates(const QList<TVolume>& drives)
{
    QList<TSourceCandidate> candidates;
    for (const TVolume& drive : drives) {
        const QDir root(drive.rootPath);
        const QStringList names = root.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        if (candidates.size() == MaxSourceCandidates)
            break;
        // Only a regular file: a pipe of that name would block its reader for good.
        const auto found = std::find_if(names.begin(), names.end(), [&root](const QString& name) {
            return name.compare(LogFileName, Qt::CaseInsensitive) == 0 && QFileInfo(root.filePath(name)).isFile();
        });
        if (found != names.end())
            candidates.append(TSourceCandidate{found->left(4), root.filePath(*found), drive});
    }
    return candidates;
}

const QString& ExpectedVolumeLabel(const QString& loggerLabel, bool testMode)
{
    return testMode ? TestModeLabel : loggerLabel;
}

QList<TSourceCandidate> MatchVolumeLabels(const QList<TSourceCandidate>& candidates, const QString& expectedLabel,
                                          bool testMode)
{
    const QString& label = ExpectedVolumeLabel(expectedLabel, testMode);
    QList<TSourceCandidate> accepted;
    for (const TSourceCandidate& candidate : candidates) {
        if (accepted.size() == MaxAcceptedSources)
            break;
        if (candidate.volume.label == label)
            accepted.append(candidate);
    }
    return accepted;
}

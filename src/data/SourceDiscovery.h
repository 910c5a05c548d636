#pragma once

#include "data/VolumeSource.h"

#include <QStringList>

// A volume whose root holds the log file.
struct TSourceCandidate {
    QString baseName; // the file name without ".log", as the Sys page lists it
    QString filePath; // the file as found, whatever the case of its name
    TVolume volume;
};

constexpr qsizetype MaxSourceCandidates = 1023; // a table of 1024 with entry 0 unused
constexpr qsizetype MaxAcceptedSources = 15;
inline const QString LogFileName = QStringLiteral("data.log");
inline const QString TestModeLabel = QStringLiteral("BRAXEL");

// The volumes that are ready, in the source's order.
QList<TVolume> ScanDrives(const VolumeSource& source);
// The drives whose root holds data.log as a regular file (or a link to one),
// the name compared without case (the logger's drive is FAT); at most
// MaxSourceCandidates.
QList<TSourceCandidate> FindCandidates(const QList<TVolume>& drives);
// The label the drives are compared with: "BRAXEL" in test mode, the logger's otherwise.
const QString& ExpectedVolumeLabel(const QString& loggerLabel, bool testMode);
// The candidates whose volume label equals the expected one exactly; the first MaxAcceptedSources of them, further ones ignored.
QList<TSourceCandidate> MatchVolumeLabels(const QList<TSourceCandidate>& candidates, const QString& expectedLabel,
                                          bool testMode);

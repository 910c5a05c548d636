#pragma once

#include "archive/TArchive.h"

#include <QString>
#include <QStringList>

class TCellFormatter;

// The PC's clock when something was done, with its UTC offset then, as the
// archive keeps it: "05.04.2024 08:00:00 UTC+03:00".
QString ArchiveStampTimeText(const TArchiveStamp& stamp, const TCellFormatter& formatter);
// Who did it: "user@host", or the user alone when the host is not known.
QString ArchiveStampByText(const TArchiveStamp& stamp);

// The columns of the trail, the same in its window and in the files it is
// saved as.
enum class TTrailColumn { Time, Label, Entry, Kind, Detail, By, Count };
QStringList TrailColumnCaptions();
QStringList TrailRowTexts(const TArchiveEvent& event, const TCellFormatter& formatter);

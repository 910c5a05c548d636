#pragma once

#include "archive/TArchiveLocation.h"

#include <QString>

// What the window and the command say of a backup of the archive
// (TArchive::backup), in the same words.

// Why the program makes no backup of the archive; empty when it does. A
// PostgreSQL archive is backed up on its server, by its administrator.
QString ArchiveBackupRefusal(const TArchiveLocation& location);

// A backup written whole into `target`, holding the records of `logs` logs.
QString ArchiveBackupSavedText(const QString& target, qint64 logs);

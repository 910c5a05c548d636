#pragma once

#include "archive/TArchive.h"

#include <QString>

#include <optional>

class QSqlQuery;

// The columns of an entry (table alias e) and of an event (alias ev), in the
// order the readers below take them from a row, starting at `first`.
extern const QString ArchiveEntryColumns;
extern const QString ArchiveEventColumns;
constexpr int ArchiveEntryColumnCount = 11;
constexpr int ArchiveEventColumnCount = 10;

// nullopt where the row has no entry (an outer join found none).
std::optional<TArchiveEntry> ArchiveEntryFrom(const QSqlQuery& row, int first);
TArchiveEvent ArchiveEventFrom(const QSqlQuery& row, int first);

// The trail is a chain: each event's hash covers what it says, the columns
// of the entry it names, and the hash of the event before it (empty for the
// first), so an event or an entry changed, an event removed or two swapped
// breaks the chain there, even where the database's refusals were removed.
QString ChainedEventHash(const QString& previousHash, const TArchiveEvent& event, const TArchiveEntry* entry);

#pragma once

#include "archive/TArchiveLocation.h"

#include <QSqlError>
#include <QString>
#include <QStringList>

class QSqlDatabase;

// What differs between the two engines; every other statement is SQL that
// both accept.
struct TArchiveDialect {
    QString driver;
    QString idColumn; // an integer key the engine numbers itself
    QString blobType;
    QString beginWrite; // starts a transaction that will write
    QString lockSchema; // run inside it before a migration; may be empty
    // Run inside a write transaction before an event is chained to the last
    // one, so that no other writer chains to the same; may be empty.
    QString lockTrail;
    // What the database refuses: every change to a table but inserts, and to
    // archive_raw_records all but the removal of an entry's records. The
    // trigger statement takes %1 the trigger, %2 the event, %3 the table; the
    // function it calls, where it needs one, is made first.
    QString refusingFunction;
    QString refusingTrigger;

    static const TArchiveDialect& of(TArchiveLocation::Engine engine);
};

constexpr int ArchiveSchemaVersion = 4;
// The advisory lock PostgreSQL writers take to chain events one at a time.
constexpr qint64 TrailLockKey = 0x6b6f727669;

// The schema version the database is at; 0 for an empty database.
int ArchiveSchemaVersionOf(QSqlDatabase& database, QSqlError* error);

// Brings the database forward to targetVersion one migration at a time, each
// in its own transaction, so two programs opening an old archive at once
// migrate it once. A database newer than targetVersion is left alone.
QSqlError MigrateArchiveSchema(QSqlDatabase& database, const TArchiveDialect& dialect, int targetVersion);

#pragma once

#include "archive/ArchivedLog.h"
#include "archive/TArchiveLocation.h"
#include "archive/TConnectionWatchdog.h"

#include <QByteArray>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

// Who did something to the archive, and when: UTC seconds since 1970 with the
// PC's UTC offset then, since the logger's own clock is local time.
struct TArchiveStamp {
    qint64 utcSeconds = 0;
    int utcOffsetSeconds = 0;
    QString user;
    QString host;

    static TArchiveStamp now();
};

// One archived log as the list shows it.
struct TArchiveEntry {
    qint64 id = 0;
    QString label; // the logger's drive label, or the file name the log came from
    TLogSummary summary;
    QString sha256;
    TArchiveStamp stored;
};

enum class TArchiveEventKind { Download, Open, Export, Deletion };

struct TArchiveEvent {
    qint64 entryId = 0;
    TArchiveEventKind kind = TArchiveEventKind::Download;
    QString detail; // where the log came from, or which file was written
    TArchiveStamp stamp;
};

// Which entries the list shows: newest first, optionally one device's, and
// only those whose period overlaps [from, to] (logger wall-clock seconds);
// a page of at most `limit` entries older than `beforeId` (0: from the newest).
struct TArchiveQuery {
    QString label;
    std::optional<qint64> from;
    std::optional<qint64> to;
    qint64 beforeId = 0;
    int limit = 100;
};

struct TStoredLog {
    qint64 entryId = 0;
    bool added = false; // false: the same bytes were already archived
};

// ReadOnly: for what only reads, so that an archive this account may not
// change can still be read; the archive is neither created nor migrated.
enum class TArchiveAccess { ReadWrite, ReadOnly };

// The archive: every log kept once, with a trail of what was done with it.
// Each method answers an error in Russian through `error` when it fails; the
// archive stays usable for the next call, unless its server stopped answering
// and the connection was dropped. One archive is used by one thread; only
// interrupt() may be called from another.
class TArchive
{
public:
    ~TArchive();
    TArchive(const TArchive&) = delete;
    TArchive& operator=(const TArchive&) = delete;

    // Opens the archive, creating or migrating its schema; nullptr, with the
    // reason, when it cannot be used (locked, read-only, damaged, no server).
    // ReadOnly opens an existing archive as it is, at an older schema too.
    // A server that asks for a password no ~/.pgpass line gives is asked
    // again with the one in the desktop's secret store, if any.
    static std::unique_ptr<TArchive> open(const TArchiveLocation& location, QString* error,
                                          TArchiveAccess access = TArchiveAccess::ReadWrite);

    // Keeps the log's records under its label; the same bytes stored again
    // add only a download event to the entry that holds them.
    std::optional<TStoredLog> store(const QString& label, const QByteArray& raw, const QString& origin,
                                    const TArchiveStamp& stamp, QString* error);
    std::vector<TArchiveEntry> entries(const TArchiveQuery& query, QString* error);
    std::optional<TArchiveEntry> entry(qint64 id, QString* error);
    // Every label with an entry, for the device filter.
    QStringList labels(QString* error);
    // The entry's records, refused when they no longer match their SHA-256.
    std::optional<QByteArray> rawRecords(qint64 id, QString* error);
    bool addEvent(qint64 entryId, TArchiveEventKind kind, const QString& detail, const TArchiveStamp& stamp,
                  QString* error);
    std::vector<TArchiveEvent> events(qint64 entryId, QString* error);
    // A deletion event, and the entry's records removed; the entry and its
    // events stay as the trail.
    bool remove(qint64 entryId, const TArchiveStamp& stamp, QString* error);

    const TArchiveLocation& location() const { return location_; }
    // Ends the PostgreSQL call running on the archive's thread, or the next
    // one, as a server that stopped answering would: the connection is
    // dropped. An SQLite call is left to end within its busy timeout.
    void interrupt() { watchdog_.interrupt(); }
    // Whether the server stopped answering and the connection was dropped:
    // no later call gets through, the archive must be opened anew.
    bool connectionDropped() const { return watchdog_.fired(); }

private:
    TArchive(const TArchiveLocation& location, QString connectionName);

    class Transaction;
    QString describe(const QSqlError& error) const;

    TArchiveLocation location_;
    QString connectionName_;
    TConnectionWatchdog watchdog_;
};

// The name an event kind is stored under, and back.
QString ArchiveEventKindName(TArchiveEventKind kind);
std::optional<TArchiveEventKind> ArchiveEventKindNamed(const QString& name);

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

// What was done: with a log (an entry's events) or to a logger or the
// program's settings (events without an entry).
enum class TArchiveEventKind {
    Download,
    Open,
    Export,
    Deletion,
    IntegrityFailure, // a log's records or the trail found changed
    LimitsChange,
    LoggerNumber,
    LoggerCalibration,
    LoggerClock,
    LoggerWiFi,
    LoggerErase,
    AlarmStart, // a live reading stayed beyond a limit, or the logger silent, for the delay
    AlarmRepeat, // an alarm not acknowledged, notified again
    AlarmAcknowledge,
    AlarmEnd,
    AlarmNoticeFailure, // a notice of an alarm could not be sent
};

struct TArchiveEvent {
    qint64 id = 0;
    qint64 entryId = 0; // 0: the event concerns no entry
    QString label;      // the logger's (an entry's events: the entry's label)
    TArchiveEventKind kind = TArchiveEventKind::Download;
    QString detail; // where the log came from, which file was written, what was changed
    TArchiveStamp stamp;
    QString hash; // chained to the event before (archive/ArchiveRows.h)
};

// Which events the trail shows: newest first, each condition optional; a
// page of at most `limit` events older than `beforeId` (0: from the newest).
struct TTrailQuery {
    QString label = {};
    std::optional<qint64> fromUtc = {}; // at_utc within [fromUtc, toUtc]
    std::optional<qint64> toUtc = {};
    QString user = {};
    std::optional<TArchiveEventKind> kind = {};
    qint64 beforeId = 0;
    int limit = 100;
};

// What a check of the whole archive found: how much it checked, and the
// first broken link in Russian (empty when none is broken).
struct TArchiveCheck {
    qint64 entries = 0;
    qint64 events = 0;
    QString brokenLink;
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
    // The entry that holds the records with this SHA-256; 0 when none does
    // (never archived, or deleted), nullopt with the reason on failure.
    std::optional<qint64> entryHolding(const QString& sha256, QString* error);
    // Every label with an entry, for the device filter.
    QStringList labels(QString* error);
    // The entry's records, refused when they no longer match their SHA-256
    // (`damaged`, when given, then says so).
    std::optional<QByteArray> rawRecords(qint64 id, QString* error, bool* damaged = nullptr);
    // An event of the entry's, under its label, chained to the trail.
    bool addEvent(qint64 entryId, TArchiveEventKind kind, const QString& detail, const TArchiveStamp& stamp,
                  QString* error);
    // An event of a logger's (or, with an empty label, of the program's)
    // that concerns no entry.
    bool addLoggerEvent(const QString& label, TArchiveEventKind kind, const QString& detail,
                        const TArchiveStamp& stamp, QString* error);
    // The entry's events, oldest first.
    std::vector<TArchiveEvent> events(qint64 entryId, QString* error);
    std::vector<TArchiveEvent> trail(const TTrailQuery& query, QString* error);
    // Every user named in the trail, for its filter.
    QStringList trailUsers(QString* error);
    // Every label named in the trail (a logger's events without an entry
    // included), for its filter.
    QStringList trailLabels(QString* error);
    // Follows the chain of events from the first and checks every entry's
    // records against its SHA-256; nullopt, with the reason, when the archive
    // could not be read to the end (or interrupt() was called).
    std::optional<TArchiveCheck> verify(QString* error);
    // A deletion event, and the entry's records removed; the entry and its
    // events stay as the trail.
    bool remove(qint64 entryId, const TArchiveStamp& stamp, QString* error);
    // Writes one consistent copy of the SQLite archive, a single file, into
    // `target`, replacing a file there only once the copy is whole; the
    // number of logs whose records the copy holds, read from the copy.
    std::optional<qint64> backup(const QString& target, QString* error);

    const TArchiveLocation& location() const { return location_; }
    // Ends the PostgreSQL call running on the archive's thread, or the next
    // one, as a server that stopped answering would: the connection is
    // dropped. An SQLite call is left to end within its busy timeout.
    void interrupt() { watchdog_.interrupt(); }
    // Whether the server stopped answering and the connection was dropped,
    // or the server closed it (restarted, or ended it): no later call gets
    // through, the archive must be opened anew.
    bool connectionDropped() const;

private:
    TArchive(const TArchiveLocation& location, QString connectionName);

    class Transaction;
    QString describe(const QSqlError& error) const;
    // Within a write transaction: the event chained to the last one.
    bool appendEvent(TArchiveEvent event, QString* error);
    bool addEventWriting(const TArchiveEvent& event, QString* error);
    struct Coverage;
    std::optional<QString> verifyEvents(TArchiveCheck& check, Coverage& coverage, QString* error);
    std::optional<QString> verifyRecords(TArchiveCheck& check, const Coverage& coverage, QString* error);
    void checkpoint();

    TArchiveLocation location_;
    QString connectionName_;
    TConnectionWatchdog watchdog_;
    bool opened_ = false; // ready for use, the connection made
};

// What a check found, for the user: its first broken link, or "Архив
// проверен: N журналов, M событий".
QString ArchiveCheckedText(const TArchiveCheck& check);

// The name an event kind is stored under, and back; and its Russian title.
QString ArchiveEventKindName(TArchiveEventKind kind);
std::optional<TArchiveEventKind> ArchiveEventKindNamed(const QString& name);
QString ArchiveEventKindTitle(TArchiveEventKind kind);
constexpr int ArchiveEventKindCount = int(TArchiveEventKind::AlarmNoticeFailure) + 1;

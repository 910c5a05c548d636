#include "archive/TArchive.h"

#include "archive/ArchivePasswords.h"
#include "archive/ArchiveSchema.h"
#include "data/LogRecord.h"
#include "data/LoggerLog.h"
#include "text/MessageText.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSysInfo>
#include <QThread>
#include <QTimeZone>
#include <QUrl>
#include <QVariant>

#include <array>

#include <pwd.h>
#include <unistd.h>

namespace {

constexpr std::array<const char*, 4> EventKindNames = {"download", "open", "export", "deletion"};

QString newConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("korvi-archive-%1").arg(counter.fetchAndAddRelaxed(1));
}

// The columns of an entry, in the order entryFrom() reads them.
const QString EntryColumns = QStringLiteral("e.id, e.label, e.record_count, e.row_count, e.first_time, e.last_time, "
                                            "e.sha256, e.stored_utc, e.utc_offset, e.user_name, e.host_name");

TArchiveEntry entryFrom(const QSqlQuery& query)
{
    TArchiveEntry entry;
    entry.id = query.value(0).toLongLong();
    entry.label = query.value(1).toString();
    entry.summary = {query.value(2).toLongLong(), query.value(3).toLongLong(), query.value(4).toLongLong(),
                     query.value(5).toLongLong()};
    entry.sha256 = query.value(6).toString();
    entry.stored = {query.value(7).toLongLong(), query.value(8).toInt(), query.value(9).toString(),
                    query.value(10).toString()};
    return entry;
}

// Prepares the statement and runs it with its values. QPSQL goes on to run an
// empty EXECUTE after a preparing that failed (one the server cancelled), so
// the preparing's own error is the one kept then.
bool execPrepared(QSqlQuery& query, const QString& sql, const QVariantList& values)
{
    if (!query.prepare(sql))
        return false;
    for (const QVariant& value : values)
        query.addBindValue(value);
    return query.exec();
}

// Text columns are NOT NULL; a null QString would be bound as NULL.
QVariant text(const QString& value)
{
    return value.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(value);
}

// SQLite's result codes that a user can do something about.
enum SqliteCode { SqliteBusy = 5, SqliteLocked = 6, SqliteReadOnly = 8, SqliteCorrupt = 11, SqliteFull = 13,
                  SqliteCantOpen = 14, SqliteNotADatabase = 26 };

// The SQLSTATE of a statement the server cancelled, here after statement_timeout.
constexpr char PostgresqlQueryCanceled[] = "57014";

} // namespace

namespace {

// The operating system's account the program runs under, with its full name
// where the account has one: "ivanova (Иванова Мария)". The environment is
// the user's to change, so it names nobody.
QString accountName()
{
    const passwd* account = ::getpwuid(::geteuid());
    if (!account)
        return QStringLiteral("uid %1").arg(::geteuid());
    const QString login = QString::fromLocal8Bit(account->pw_name);
    const QString fullName =
        account->pw_gecos ? QString::fromLocal8Bit(account->pw_gecos).section(u',', 0, 0).trimmed() : QString();
    return fullName.isEmpty() || fullName == login ? login : QStringLiteral("%1 (%2)").arg(login, fullName);
}

} // namespace

TArchiveStamp TArchiveStamp::now()
{
    const QDateTime local = QDateTime::currentDateTime();
    return {local.toSecsSinceEpoch(), local.offsetFromUtc(), accountName(), QSysInfo::machineHostName()};
}

QString ArchiveEventKindName(TArchiveEventKind kind)
{
    return QString::fromLatin1(EventKindNames[size_t(kind)]);
}

std::optional<TArchiveEventKind> ArchiveEventKindNamed(const QString& name)
{
    for (size_t i = 0; i < EventKindNames.size(); ++i) {
        if (name == QLatin1String(EventKindNames[i]))
            return TArchiveEventKind(i);
    }
    return std::nullopt;
}

// A write transaction that rolls back unless committed.
class TArchive::Transaction
{
public:
    explicit Transaction(QSqlDatabase& database, const TArchiveDialect& dialect)
        : database_(database)
    {
        QSqlQuery query(database_);
        if (!query.exec(dialect.beginWrite))
            error_ = query.lastError();
    }
    ~Transaction()
    {
        if (open())
            QSqlQuery(database_).exec(QStringLiteral("ROLLBACK"));
    }
    bool open() const { return !error_.isValid() && !done_; }
    const QSqlError& error() const { return error_; }
    bool commit()
    {
        QSqlQuery query(database_);
        if (!query.exec(QStringLiteral("COMMIT")))
            error_ = query.lastError();
        done_ = true;
        return !error_.isValid();
    }

private:
    QSqlDatabase& database_;
    QSqlError error_;
    bool done_ = false;
};

TArchive::TArchive(const TArchiveLocation& location, QString connectionName)
    : location_(location)
    , connectionName_(std::move(connectionName))
    , watchdog_(std::chrono::milliseconds(location.replyLimitMs()))
{
}

TArchive::~TArchive()
{
    QSqlDatabase::database(connectionName_, false).close();
    QSqlDatabase::removeDatabase(connectionName_);
}

namespace {

// The connection's settings and the schema brought to this program's version,
// whose number is left in `version`.
QSqlError prepareSchema(QSqlDatabase& database, const TArchiveLocation& location, const TArchiveDialect& dialect,
                        int* version)
{
    QSqlQuery query(database);
    if (location.engine == TArchiveLocation::Engine::Sqlite) {
        // WAL lets the list be read while a load is being stored; NORMAL
        // syncs at checkpoints only, which WAL keeps safe against power loss.
        for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", "PRAGMA foreign_keys=ON"}) {
            if (!query.exec(QString::fromLatin1(pragma)))
                return query.lastError();
        }
    }
    QSqlError failure = MigrateArchiveSchema(database, dialect, ArchiveSchemaVersion);
    if (!failure.isValid())
        *version = ArchiveSchemaVersionOf(database, &failure);
    return failure;
}

} // namespace

namespace {

// How long the desktop's secret store may take to answer: enough for it to
// start, not for the 25 s of a D-Bus call nobody answers.
constexpr std::chrono::seconds SecretStoreLimit{5};

// libpq's words when the server asks for a password that no ~/.pgpass line
// (nor PGPASSFILE's) gave.
constexpr char NoPasswordSupplied[] = "no password supplied";

// Opens the connection; a server that asks for a password nothing gave is
// asked once more with the one in the secret store, if it holds one. When it
// holds none, why is added to the server's words.
QSqlError openConnection(QSqlDatabase& database, const TArchiveLocation& location)
{
    if (database.open())
        return {};
    const QSqlError failure = database.lastError();
    if (location.engine != TArchiveLocation::Engine::Postgresql || !location.password.isEmpty()
        || !failure.databaseText().contains(QLatin1String(NoPasswordSupplied)))
        return failure;
    QString storeError;
    const std::optional<QString> stored = StoredArchivePassword(location, SecretStoreLimit, &storeError);
    if (!stored) {
        return QSqlError(failure.driverText(), failure.databaseText() + u'\n' + storeError, failure.type(),
                         failure.nativeErrorCode());
    }
    database.setPassword(*stored);
    return database.open() ? QSqlError() : database.lastError();
}

// Reads which schema the archive is at, changing nothing: PostgreSQL's
// session refuses writes, SQLite reads the file's header first.
QSqlError readSchema(QSqlDatabase& database, const TArchiveLocation& location, int* version)
{
    QSqlQuery query(database);
    if (!query.exec(location.engine == TArchiveLocation::Engine::Sqlite
                        ? QStringLiteral("PRAGMA schema_version")
                        : QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY")))
        return query.lastError();
    QSqlError failure;
    *version = ArchiveSchemaVersionOf(database, &failure);
    return failure;
}

// SQLite reads a WAL file only beside an index it keeps in a "-shm" file,
// which a folder this account may not write cannot take. With no "-wal"
// file, no writer has it open and all of it is in the file itself, which
// is then read as a file nothing changes. False when that cannot be.
bool reopenedImmutable(QSqlDatabase& database, const TArchiveLocation& location)
{
    if (location.engine != TArchiveLocation::Engine::Sqlite || QFileInfo::exists(location.database + "-wal"))
        return false;
    database.close();
    QUrl uri = QUrl::fromLocalFile(location.database);
    uri.setQuery(QStringLiteral("immutable=1"));
    database.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    database.setConnectOptions(database.connectOptions() + QStringLiteral(";QSQLITE_OPEN_URI"));
    return database.open();
}

} // namespace

std::unique_ptr<TArchive> TArchive::open(const TArchiveLocation& location, QString* error, TArchiveAccess access)
{
    const TArchiveDialect& dialect = TArchiveDialect::of(location.engine);
    if (!QSqlDatabase::isDriverAvailable(dialect.driver)) {
        *error = QStringLiteral("Архив недоступен: нет драйвера %1 (пакет libqt6sql6-%2)")
                     .arg(dialect.driver, location.engine == TArchiveLocation::Engine::Sqlite ? "sqlite" : "psql");
        return nullptr;
    }
    const bool readOnly = access == TArchiveAccess::ReadOnly;
    if (location.engine == TArchiveLocation::Engine::Sqlite) {
        const QFileInfo file(location.database);
        if (readOnly && !file.exists()) {
            *error = QStringLiteral("Файл архива %1 не найден").arg(location.displayName());
            return nullptr;
        }
        if (!readOnly && !location.writable()) {
            *error = QStringLiteral("Файл архива %1 доступен только для чтения; программа работает без архива")
                         .arg(location.displayName());
            return nullptr;
        }
        QDir().mkpath(file.absolutePath());
    }

    std::unique_ptr<TArchive> archive(new TArchive(location, newConnectionName()));
    QSqlDatabase database = QSqlDatabase::addDatabase(dialect.driver, archive->connectionName_);
    database.setDatabaseName(location.database);
    if (location.engine == TArchiveLocation::Engine::Sqlite) {
        database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(location.busyTimeoutMs)
                                   + (readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    } else {
        database.setHostName(location.host);
        database.setPort(location.port);
        database.setUserName(location.user);
        database.setPassword(location.password);
        // A dead link shows within half a minute: no server in 5 s ends the
        // connecting, an idle link is probed after 10 s of silence every 5 s
        // (given up after 3 lost probes), and data the server's host leaves
        // unacknowledged for 15 s ends the connection. The server cancels a
        // statement itself after statementTimeoutMs; the watchdog covers a
        // server that does not answer at all. The URL's own parameters come
        // last: libpq keeps the last value given, so connect_timeout=N wins.
        const QString own = QStringLiteral("connect_timeout=5;keepalives=1;keepalives_idle=10;"
                                           "keepalives_interval=5;keepalives_count=3;tcp_user_timeout=15000;"
                                           "options='-c statement_timeout=%1'")
                                .arg(location.statementTimeoutMs);
        database.setConnectOptions((QStringList(own) + location.libpqParameters).join(u';'));
    }
    QSqlError failure = openConnection(database, location);
    const TConnectionWatchdog::Guard watched(archive->watchdog_, database);
    int version = 0;
    if (!failure.isValid() && readOnly) {
        failure = readSchema(database, location, &version);
        if (failure.isValid() && reopenedImmutable(database, location))
            failure = readSchema(database, location, &version);
    } else if (!failure.isValid()) {
        // Two programs setting up one new SQLite file at once can meet a lock
        // SQLite reports at once instead of waiting for; every step may run
        // again, so the later one tries again within its busy timeout.
        QElapsedTimer setUp;
        setUp.start();
        while ((failure = prepareSchema(database, location, dialect, &version)).isValid()
               && location.engine == TArchiveLocation::Engine::Sqlite && failure.nativeErrorCode().toInt() == SqliteBusy
               && setUp.elapsed() < location.busyTimeoutMs) {
            QThread::msleep(20);
        }
    }
    if (failure.isValid()) {
        const QString reason = archive->describe(failure);
        *error = WithDetail(MessageLine(reason) + QStringLiteral("; программа работает без архива"),
                            MessageDetail(reason));
        return nullptr;
    }
    if (version == 0 && readOnly) {
        *error = QStringLiteral("В %1 нет архива программы").arg(location.displayName());
        return nullptr;
    }
    if (version > ArchiveSchemaVersion) {
        *error = QStringLiteral("Архив %1 создан более новой версией программы (схема %2); программа работает без архива")
                     .arg(location.displayName())
                     .arg(version);
        return nullptr;
    }
    return archive;
}

QString TArchive::describe(const QSqlError& error) const
{
    const QString where = location_.displayName();
    const QString reason = error.text();
    if (location_.engine == TArchiveLocation::Engine::Postgresql) {
        if (watchdog_.fired()) {
            return QStringLiteral("Сервер архива %1 не ответил за %2 с; связь с ним прервана")
                .arg(where)
                .arg(location_.replyLimitMs() / 1000.0);
        }
        if (error.nativeErrorCode() == QLatin1String(PostgresqlQueryCanceled)) {
            return QStringLiteral("Сервер архива %1 прервал запрос, не выполнив его за %2 с")
                .arg(where)
                .arg(location_.statementTimeoutMs / 1000.0);
        }
        // The server's own words are English and run over several lines: the detail.
        if (error.databaseText().contains(QLatin1String(NoPasswordSupplied))) {
            return WithDetail(QStringLiteral("Сервер архива %1 просит пароль: %2").arg(where, ArchivePasswordAdvice()),
                              reason);
        }
        if (error.type() == QSqlError::ConnectionError)
            return WithDetail(QStringLiteral("Нет связи с сервером архива %1").arg(where), reason);
        return WithDetail(QStringLiteral("Сервер архива %1 не выполнил запрос").arg(where), reason);
    }
    switch (error.nativeErrorCode().toInt()) {
    case SqliteBusy:
    case SqliteLocked:
        return QStringLiteral("Файл архива %1 занят другой программой").arg(where);
    case SqliteReadOnly:
        return QStringLiteral("Файл архива %1 доступен только для чтения").arg(where);
    case SqliteCorrupt:
    case SqliteNotADatabase:
        return QStringLiteral("Файл архива %1 повреждён").arg(where);
    case SqliteFull:
        return QStringLiteral("Нет места на диске для архива %1").arg(where);
    case SqliteCantOpen:
        return QStringLiteral("Не удалось открыть файл архива %1").arg(where);
    default:
        return WithDetail(QStringLiteral("Ошибка архива %1").arg(where), reason);
    }
}

std::optional<TStoredLog> TArchive::store(const QString& label, const QByteArray& raw, const QString& origin,
                                          const TArchiveStamp& stamp, QString* error)
{
    // Only a logger's log is kept, so no entry lists a period without a row.
    const TRawRecords records = TRawRecords::firstOf(raw);
    const TRecordList decoded(records, QDate::currentDate().year());
    if (LogContentOf(records, decoded) != TLogContent::Log) {
        *error = QStringLiteral("В журнале нет ни одной записи прибора: в архив он не помещён");
        return std::nullopt;
    }
    // The costly part runs before the transaction, so other writers wait less.
    const TPackedLog packed = PackLog(raw);
    const TLogSummary summary = SummarizeLog(raw, decoded);
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    const TArchiveDialect& dialect = TArchiveDialect::of(location_.engine);

    // A writer that stores the same bytes at the same moment makes the
    // first attempt find them taken; the second attempt then sees its entry.
    for (int attempt = 0; attempt < 2; ++attempt) {
        Transaction transaction(database, dialect);
        QSqlQuery query(database);
        if (!transaction.open()
            || !execPrepared(query, QStringLiteral("SELECT entry_id FROM archive_raw_records WHERE sha256 = ?"),
                             {packed.sha256})) {
            *error = describe(transaction.open() ? query.lastError() : transaction.error());
            return std::nullopt;
        }
        if (query.next()) {
            const qint64 existing = query.value(0).toLongLong();
            if (!addEvent(existing, TArchiveEventKind::Download, origin, stamp, error))
                return std::nullopt;
            if (!transaction.commit()) {
                *error = describe(transaction.error());
                return std::nullopt;
            }
            return TStoredLog{existing, false};
        }

        if (!execPrepared(query,
                          QStringLiteral("INSERT INTO archive_entries (label, first_time, last_time, row_count, "
                                         "record_count, sha256, stored_utc, utc_offset, user_name, host_name) "
                                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"),
                          {text(label), summary.firstTime, summary.lastTime, summary.rowCount, summary.recordCount,
                           packed.sha256, stamp.utcSeconds, stamp.utcOffsetSeconds, text(stamp.user),
                           text(stamp.host)})
            || !query.next()) {
            *error = describe(query.lastError());
            return std::nullopt;
        }
        const qint64 id = query.value(0).toLongLong();
        query.finish();

        if (!execPrepared(query,
                          QStringLiteral("INSERT INTO archive_raw_records (entry_id, sha256, data) VALUES (?, ?, ?) "
                                         "ON CONFLICT (sha256) DO NOTHING"),
                          {id, packed.sha256, packed.compressed})) {
            *error = describe(query.lastError());
            return std::nullopt;
        }
        if (query.numRowsAffected() == 0)
            continue;
        if (!addEvent(id, TArchiveEventKind::Download, origin, stamp, error))
            return std::nullopt;
        if (!transaction.commit()) {
            *error = describe(transaction.error());
            return std::nullopt;
        }
        return TStoredLog{id, true};
    }
    *error = QStringLiteral("Архив %1: журнал не сохранён, другая программа пишет те же данные")
                 .arg(location_.displayName());
    return std::nullopt;
}

std::vector<TArchiveEntry> TArchive::entries(const TArchiveQuery& request, QString* error)
{
    QString sql = QStringLiteral("SELECT %1 FROM archive_entries e JOIN archive_raw_records r ON r.entry_id = e.id "
                                 "WHERE 1 = 1").arg(EntryColumns);
    QVariantList values;
    if (!request.label.isEmpty()) {
        sql += QStringLiteral(" AND e.label = ?");
        values << request.label;
    }
    if (request.from) {
        sql += QStringLiteral(" AND e.last_time >= ?");
        values << *request.from;
    }
    if (request.to) {
        sql += QStringLiteral(" AND e.first_time <= ?");
        values << *request.to;
    }
    if (request.beforeId > 0) {
        sql += QStringLiteral(" AND e.id < ?");
        values << request.beforeId;
    }
    sql += QStringLiteral(" ORDER BY e.id DESC LIMIT %1").arg(request.limit);

    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    QSqlQuery query(database);
    query.setForwardOnly(true);
    std::vector<TArchiveEntry> found;
    if (!execPrepared(query, sql, values)) {
        *error = describe(query.lastError());
        return found;
    }
    while (query.next())
        found.push_back(entryFrom(query));
    return found;
}

std::optional<TArchiveEntry> TArchive::entry(qint64 id, QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    QSqlQuery query(database);
    if (!execPrepared(query, QStringLiteral("SELECT %1 FROM archive_entries e WHERE e.id = ?").arg(EntryColumns),
                      {id})) {
        *error = describe(query.lastError());
        return std::nullopt;
    }
    if (!query.next()) {
        *error = QStringLiteral("В архиве нет записи %1").arg(id);
        return std::nullopt;
    }
    return entryFrom(query);
}

QStringList TArchive::labels(QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    QSqlQuery query(database);
    QStringList found;
    if (!query.exec(QStringLiteral("SELECT DISTINCT label FROM archive_entries ORDER BY label"))) {
        *error = describe(query.lastError());
        return found;
    }
    while (query.next())
        found << query.value(0).toString();
    return found;
}

std::optional<QByteArray> TArchive::rawRecords(qint64 id, QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    QSqlQuery query(database);
    // The records answer for their entry's own hash, not only for the one
    // beside them, which moves with them.
    if (!execPrepared(query,
                      QStringLiteral("SELECT r.data, r.sha256, e.sha256 FROM archive_raw_records r "
                                     "JOIN archive_entries e ON e.id = r.entry_id WHERE r.entry_id = ?"),
                      {id})) {
        *error = describe(query.lastError());
        return std::nullopt;
    }
    if (!query.next()) {
        *error = QStringLiteral("Запись %1 удалена из архива или её нет").arg(id);
        return std::nullopt;
    }
    const QString entryHash = query.value(2).toString();
    std::optional<QByteArray> raw;
    if (query.value(1).toString() == entryHash)
        raw = UnpackLog(query.value(0).toByteArray(), entryHash);
    if (!raw) {
        *error = QStringLiteral("Запись %1 архива повреждена: её данные не совпадают с контрольной суммой SHA-256, "
                                "открыть её нельзя")
                     .arg(id);
    }
    return raw;
}

bool TArchive::addEvent(qint64 entryId, TArchiveEventKind kind, const QString& detail, const TArchiveStamp& stamp,
                        QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    QSqlQuery query(database);
    if (!execPrepared(query,
                      QStringLiteral("INSERT INTO archive_events (entry_id, kind, detail, at_utc, utc_offset, "
                                     "user_name, host_name) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                      {entryId, ArchiveEventKindName(kind), text(detail), stamp.utcSeconds, stamp.utcOffsetSeconds,
                       text(stamp.user), text(stamp.host)})) {
        *error = describe(query.lastError());
        return false;
    }
    return true;
}

std::vector<TArchiveEvent> TArchive::events(qint64 entryId, QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    QSqlQuery query(database);
    std::vector<TArchiveEvent> found;
    if (!execPrepared(query,
                      QStringLiteral("SELECT kind, detail, at_utc, utc_offset, user_name, host_name "
                                     "FROM archive_events WHERE entry_id = ? ORDER BY id"),
                      {entryId})) {
        *error = describe(query.lastError());
        return found;
    }
    while (query.next()) {
        found.push_back({entryId, ArchiveEventKindNamed(query.value(0).toString()).value_or(TArchiveEventKind::Open),
                         query.value(1).toString(),
                         {query.value(2).toLongLong(), query.value(3).toInt(), query.value(4).toString(),
                          query.value(5).toString()}});
    }
    return found;
}

bool TArchive::remove(qint64 entryId, const TArchiveStamp& stamp, QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    Transaction transaction(database, TArchiveDialect::of(location_.engine));
    QSqlQuery query(database);
    if (!transaction.open()
        || !execPrepared(query, QStringLiteral("DELETE FROM archive_raw_records WHERE entry_id = ?"), {entryId})) {
        *error = describe(transaction.open() ? query.lastError() : transaction.error());
        return false;
    }
    if (query.numRowsAffected() == 0) {
        *error = QStringLiteral("Запись %1 уже удалена из архива или её нет").arg(entryId);
        return false;
    }
    if (!addEvent(entryId, TArchiveEventKind::Deletion, QString(), stamp, error))
        return false;
    if (!transaction.commit()) {
        *error = describe(transaction.error());
        return false;
    }
    return true;
}

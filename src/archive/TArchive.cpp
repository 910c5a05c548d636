#include "archive/TArchive.h"

#include "archive/ArchiveBackup.h"
#include "archive/ArchivePasswords.h"
#include "archive/ArchiveRows.h"
#include "archive/ArchiveSchema.h"
#include "data/FileSave.h"
#include "data/LogRecord.h"
#include "data/LoggerLog.h"
#include "text/MessageText.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSysInfo>
#include <QThread>
#include <QTimeZone>
#include <QSqlDriver>
#include <QUrl>
#include <QVariant>

#include <libpq-fe.h>

#include <array>
#include <thread>
#include <cerrno>

#include <pwd.h>
#include <unistd.h>

// What QPSQL's driver hands out as its handle.
Q_DECLARE_OPAQUE_POINTER(PGconn*)

namespace {

struct TEventKindNames {
    const char* stored;
    const char* title;
};
constexpr std::array<TEventKindNames, ArchiveEventKindCount> EventKindNames = {{
    {"download", "Загрузка"},
    {"open", "Открытие"},
    {"export", "Сохранение"},
    {"deletion", "Удаление"},
    {"integrity", "Нарушение целостности"},
    {"limits", "Изменение пределов"},
    {"logger-number", "Номер прибора"},
    {"logger-calibration", "Калибровка прибора"},
    {"logger-clock", "Часы прибора"},
    {"logger-wifi", "Wi-Fi прибора"},
    {"logger-erase", "Очистка памяти прибора"},
    {"alarm-start", "Тревога"},
    {"alarm-repeat", "Повтор тревоги"},
    {"alarm-acknowledge", "Подтверждение тревоги"},
    {"alarm-end", "Конец тревоги"},
    {"alarm-notice-failure", "Оповещение не отправлено"},
}};

QString newConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("korvi-archive-%1").arg(counter.fetchAndAddRelaxed(1));
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

TArchiveEvent entryEvent(qint64 entryId, TArchiveEventKind kind, const QString& detail, const TArchiveStamp& stamp)
{
    TArchiveEvent event;
    event.entryId = entryId;
    event.kind = kind;
    event.detail = detail;
    event.stamp = stamp;
    return event;
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
    return QString::fromLatin1(EventKindNames[size_t(kind)].stored);
}

std::optional<TArchiveEventKind> ArchiveEventKindNamed(const QString& name)
{
    for (size_t i = 0; i < EventKindNames.size(); ++i) {
        if (name == QLatin1String(EventKindNames[i].stored))
            return TArchiveEventKind(i);
    }
    return std::nullopt;
}

QString ArchiveCheckedText(const TArchiveCheck& check)
{
    if (!check.brokenLink.isEmpty())
        return check.brokenLink;
    return QStringLiteral("Архив проверен: %1 журналов, %2 событий").arg(check.entries).arg(check.events);
}

QString ArchiveEventKindTitle(TArchiveEventKind kind)
{
    return QString::fromUtf8(EventKindNames[size_t(kind)].title);
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
    archive->opened_ = true;
    return archive;
}

bool TArchive::connectionDropped() const
{
    if (watchdog_.fired())
        return true;
    if (!opened_) // no server, rather than one that closed the connection
        return false;
    const QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const QVariant handle = database.driver()->handle();
    if (handle.metaType() != QMetaType::fromType<PGconn*>())
        return false;
    PGconn* connection = handle.value<PGconn*>();
    return !connection || PQstatus(connection) == CONNECTION_BAD;
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
        if (connectionDropped())
            return WithDetail(QStringLiteral("Сервер архива %1 закрыл соединение").arg(where), reason);
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
        if (!transaction.open()) {
            *error = describe(transaction.error());
            return std::nullopt;
        }
        const std::optional<qint64> existing = entryHolding(packed.sha256, error);
        if (!existing)
            return std::nullopt;
        if (*existing != 0) {
            if (!appendEvent(entryEvent(*existing, TArchiveEventKind::Download, origin, stamp), error))
                return std::nullopt;
            if (!transaction.commit()) {
                *error = describe(transaction.error());
                return std::nullopt;
            }
            checkpoint();
            return TStoredLog{*existing, false};
        }

        QSqlQuery query(database);
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
        if (!appendEvent(entryEvent(id, TArchiveEventKind::Download, origin, stamp), error))
            return std::nullopt;
        if (!transaction.commit()) {
            *error = describe(transaction.error());
            return std::nullopt;
        }
        checkpoint();
        return TStoredLog{id, true};
    }
    *error = QStringLiteral("Архив %1: журнал не сохранён, другая программа пишет те же данные")
                 .arg(location_.displayName());
    return std::nullopt;
}

std::vector<TArchiveEntry> TArchive::entries(const TArchiveQuery& request, QString* error)
{
    QString sql = QStringLiteral("SELECT %1 FROM archive_entries e JOIN archive_raw_records r ON r.entry_id = e.id "
                                 "WHERE 1 = 1").arg(ArchiveEntryColumns);
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
        found.push_back(*ArchiveEntryFrom(query, 0));
    return found;
}

std::optional<TArchiveEntry> TArchive::entry(qint64 id, QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    QSqlQuery query(database);
    if (!execPrepared(query, QStringLiteral("SELECT %1 FROM archive_entries e WHERE e.id = ?").arg(ArchiveEntryColumns),
                      {id})) {
        *error = describe(query.lastError());
        return std::nullopt;
    }
    if (!query.next()) {
        *error = QStringLiteral("В архиве нет записи %1").arg(id);
        return std::nullopt;
    }
    return ArchiveEntryFrom(query, 0);
}

std::optional<qint64> TArchive::entryHolding(const QString& sha256, QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    QSqlQuery query(database);
    if (!execPrepared(query, QStringLiteral("SELECT entry_id FROM archive_raw_records WHERE sha256 = ?"), {sha256})) {
        *error = describe(query.lastError());
        return std::nullopt;
    }
    return query.next() ? query.value(0).toLongLong() : 0;
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

std::optional<QByteArray> TArchive::rawRecords(qint64 id, QString* error, bool* damaged)
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
        if (damaged)
            *damaged = true;
    }
    return raw;
}

bool TArchive::addEvent(qint64 entryId, TArchiveEventKind kind, const QString& detail, const TArchiveStamp& stamp,
                        QString* error)
{
    return addEventWriting(entryEvent(entryId, kind, detail, stamp), error);
}

bool TArchive::addLoggerEvent(const QString& label, TArchiveEventKind kind, const QString& detail,
                              const TArchiveStamp& stamp, QString* error)
{
    TArchiveEvent event;
    event.label = label;
    event.kind = kind;
    event.detail = detail;
    event.stamp = stamp;
    return addEventWriting(event, error);
}

bool TArchive::addEventWriting(const TArchiveEvent& event, QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    Transaction transaction(database, TArchiveDialect::of(location_.engine));
    if (!transaction.open()) {
        *error = describe(transaction.error());
        return false;
    }
    if (!appendEvent(event, error))
        return false;
    if (!transaction.commit()) {
        *error = describe(transaction.error());
        return false;
    }
    return true;
}

bool TArchive::appendEvent(TArchiveEvent event, QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    const TArchiveDialect& dialect = TArchiveDialect::of(location_.engine);
    QSqlQuery query(database);
    if (!dialect.lockTrail.isEmpty() && !query.exec(dialect.lockTrail)) {
        *error = describe(query.lastError());
        return false;
    }
    std::optional<TArchiveEntry> named;
    if (event.entryId != 0) {
        if (!(named = entry(event.entryId, error)))
            return false;
        event.label = named->label;
    }
    if (!query.exec(QStringLiteral("SELECT hash FROM archive_events ORDER BY id DESC LIMIT 1"))) {
        *error = describe(query.lastError());
        return false;
    }
    const QString previous = query.next() ? query.value(0).toString() : QString();
    query.finish();
    if (!execPrepared(query,
                      QStringLiteral("INSERT INTO archive_events (entry_id, label, kind, detail, at_utc, utc_offset, "
                                     "user_name, host_name, hash) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                      {event.entryId != 0 ? QVariant(event.entryId) : QVariant(QMetaType(QMetaType::LongLong)),
                       text(event.label), ArchiveEventKindName(event.kind), text(event.detail),
                       event.stamp.utcSeconds, event.stamp.utcOffsetSeconds, text(event.stamp.user),
                       text(event.stamp.host), ChainedEventHash(previous, event, named ? &*named : nullptr)})) {
        *error = describe(query.lastError());
        return false;
    }
    return true;
}

namespace {

std::vector<TArchiveEvent> eventsOf(QSqlQuery& query)
{
    std::vector<TArchiveEvent> found;
    while (query.next())
        found.push_back(ArchiveEventFrom(query, 0));
    return found;
}

} // namespace

std::vector<TArchiveEvent> TArchive::events(qint64 entryId, QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!execPrepared(query,
                      QStringLiteral("SELECT %1 FROM archive_events ev WHERE ev.entry_id = ? ORDER BY ev.id")
                          .arg(ArchiveEventColumns),
                      {entryId})) {
        *error = describe(query.lastError());
        return {};
    }
    return eventsOf(query);
}

std::vector<TArchiveEvent> TArchive::trail(const TTrailQuery& request, QString* error)
{
    QString sql = QStringLiteral("SELECT %1 FROM archive_events ev WHERE 1 = 1").arg(ArchiveEventColumns);
    QVariantList values;
    const auto where = [&](const char* condition, const QVariant& value) {
        sql += QLatin1String(" AND ") + QLatin1String(condition);
        values << value;
    };
    if (!request.label.isEmpty())
        where("ev.label = ?", request.label);
    if (request.fromUtc)
        where("ev.at_utc >= ?", *request.fromUtc);
    if (request.toUtc)
        where("ev.at_utc <= ?", *request.toUtc);
    if (!request.user.isEmpty())
        where("ev.user_name = ?", request.user);
    if (request.kind)
        where("ev.kind = ?", ArchiveEventKindName(*request.kind));
    if (request.beforeId > 0)
        where("ev.id < ?", request.beforeId);
    sql += QStringLiteral(" ORDER BY ev.id DESC LIMIT %1").arg(request.limit);

    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!execPrepared(query, sql, values)) {
        *error = describe(query.lastError());
        return {};
    }
    return eventsOf(query);
}

QStringList TArchive::trailUsers(QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    QSqlQuery query(database);
    QStringList found;
    if (!query.exec(QStringLiteral("SELECT DISTINCT user_name FROM archive_events ORDER BY user_name"))) {
        *error = describe(query.lastError());
        return found;
    }
    while (query.next())
        found << query.value(0).toString();
    return found;
}

QStringList TArchive::trailLabels(QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const TConnectionWatchdog::Guard watched(watchdog_, database);
    QSqlQuery query(database);
    QStringList found;
    if (!query.exec(
            QStringLiteral("SELECT DISTINCT label FROM archive_events WHERE label <> '' ORDER BY label"))) {
        *error = describe(query.lastError());
        return found;
    }
    while (query.next())
        found << query.value(0).toString();
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
    if (!appendEvent(entryEvent(entryId, TArchiveEventKind::Deletion, QString(), stamp), error))
        return false;
    if (!transaction.commit()) {
        *error = describe(transaction.error());
        return false;
    }
    checkpoint();
    return true;
}

namespace {

// Rows a page of the check reads: few enough that a server gives each page
// well within its time limit, and records that a page holds in memory.
constexpr int EventsPerPage = 5000;
constexpr int EntriesPerPage = 50;

QString eventMoment(const TArchiveStamp& stamp)
{
    return QDateTime::fromSecsSinceEpoch(stamp.utcSeconds, Qt::OffsetFromUTC, stamp.utcOffsetSeconds)
        .toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

// How long a checkpoint waits for readers still on the snapshot before a
// write: a page of the list takes milliseconds; a reader held longer leaves
// the rest of the checkpoint to the next write.
constexpr int CheckpointWaitMs = 100;

// The logs whose records a copy of the archive holds, read from the copy
// itself; nullopt, with the reason, when it does not read as an archive.
std::optional<qint64> logsInCopy(const QString& path, QString* error)
{
    const QString name = newConnectionName();
    std::optional<qint64> logs;
    {
        QSqlDatabase copy = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        copy.setDatabaseName(path);
        copy.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlError failure;
        if (copy.open()) {
            QSqlQuery query(copy);
            if (query.exec(QStringLiteral("SELECT COUNT(*) FROM archive_raw_records")) && query.next())
                logs = query.value(0).toLongLong();
            else
                failure = query.lastError();
        } else {
            failure = copy.lastError();
        }
        if (!logs)
            *error = WithDetail(QStringLiteral("копия не читается как архив"), failure.text());
    }
    QSqlDatabase::removeDatabase(name);
    return logs;
}

} // namespace

// The entries the trail names, and those it says were deleted.
struct TArchive::Coverage {
    QSet<qint64> named;
    QSet<qint64> deleted;
};

std::optional<TArchiveCheck> TArchive::verify(QString* error)
{
    TArchiveCheck check;
    Coverage coverage;
    std::optional<QString> broken = verifyEvents(check, coverage, error);
    if (broken && broken->isEmpty())
        broken = verifyRecords(check, coverage, error);
    if (!broken)
        return std::nullopt;
    check.brokenLink = *broken;
    return check;
}

// The first broken link of the chain, empty when it holds; nullopt when the
// trail could not be read.
std::optional<QString> TArchive::verifyEvents(TArchiveCheck& check, Coverage& coverage, QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    QString previous;
    qint64 lastId = 0;
    for (bool more = true; more;) {
        if (watchdog_.interrupted()) {
            *error = QStringLiteral("Проверка архива %1 прервана").arg(location_.displayName());
            return std::nullopt;
        }
        const TConnectionWatchdog::Guard watched(watchdog_, database);
        QSqlQuery query(database);
        query.setForwardOnly(true);
        if (!execPrepared(query,
                          QStringLiteral("SELECT %1, %2 FROM archive_events ev LEFT JOIN archive_entries e "
                                         "ON e.id = ev.entry_id WHERE ev.id > ? ORDER BY ev.id LIMIT %3")
                              .arg(ArchiveEventColumns, ArchiveEntryColumns)
                              .arg(EventsPerPage),
                          {lastId})) {
            *error = describe(query.lastError());
            return std::nullopt;
        }
        int read = 0;
        while (query.next()) {
            ++read;
            const TArchiveEvent event = ArchiveEventFrom(query, 0);
            const std::optional<TArchiveEntry> named = ArchiveEntryFrom(query, ArchiveEventColumnCount);
            previous = ChainedEventHash(previous, event, named ? &*named : nullptr);
            if (event.hash != previous || (event.entryId != 0 && !named)) {
                return QStringLiteral("Архив изменён: событие %1 (%2, %3) или событие перед ним изменено или удалено")
                    .arg(event.id)
                    .arg(ArchiveEventKindTitle(event.kind), eventMoment(event.stamp));
            }
            if (event.entryId != 0) {
                coverage.named.insert(event.entryId);
                if (event.kind == TArchiveEventKind::Deletion)
                    coverage.deleted.insert(event.entryId);
            }
            lastId = event.id;
            ++check.events;
        }
        if (query.lastError().isValid()) {
            *error = describe(query.lastError());
            return std::nullopt;
        }
        more = read == EventsPerPage;
    }
    return QString();
}

namespace {

// An entry as the check reads it: its own hash, and its records with theirs
// where it still has them.
struct TCheckedEntry {
    qint64 id = 0;
    QString entryHash;
    std::optional<QString> recordsHash;
    QByteArray data;
    bool intact = true;
};

// Expands and hashes the page's records on two threads: the check of a whole
// archive is mostly that. A thread of its own rather than a pooled one, as
// OpenSSL frees a thread's hashing state only when the thread ends.
void checkRecords(std::vector<TCheckedEntry>& page)
{
    const auto check = [&page](size_t from, size_t to) {
        TLogChecker checker;
        for (size_t i = from; i < to; ++i) {
            TCheckedEntry& entry = page[i];
            entry.intact = !entry.recordsHash
                           || (*entry.recordsHash == entry.entryHash && checker.matches(entry.data, entry.entryHash));
        }
    };
    const size_t half = page.size() / 2;
    std::thread other(check, half, page.size());
    check(0, half);
    other.join();
}

} // namespace

// The first entry whose records do not answer for it, empty when none.
std::optional<QString> TArchive::verifyRecords(TArchiveCheck& check, const Coverage& coverage, QString* error)
{
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    qint64 lastId = 0;
    for (bool more = true; more;) {
        if (watchdog_.interrupted()) {
            *error = QStringLiteral("Проверка архива %1 прервана").arg(location_.displayName());
            return std::nullopt;
        }
        std::vector<TCheckedEntry> page;
        {
            const TConnectionWatchdog::Guard watched(watchdog_, database);
            QSqlQuery query(database);
            query.setForwardOnly(true);
            if (!execPrepared(query,
                              QStringLiteral("SELECT e.id, e.sha256, r.sha256, r.data FROM archive_entries e "
                                             "LEFT JOIN archive_raw_records r ON r.entry_id = e.id WHERE e.id > ? "
                                             "ORDER BY e.id LIMIT %1")
                                  .arg(EntriesPerPage),
                              {lastId})) {
                *error = describe(query.lastError());
                return std::nullopt;
            }
            while (query.next()) {
                page.push_back({query.value(0).toLongLong(), query.value(1).toString(),
                                query.isNull(2) ? std::nullopt : std::optional(query.value(2).toString()),
                                query.value(3).toByteArray()});
            }
            if (query.lastError().isValid()) {
                *error = describe(query.lastError());
                return std::nullopt;
            }
        }
        checkRecords(page);
        for (const TCheckedEntry& entry : page) {
            if (!coverage.named.contains(entry.id))
                return QStringLiteral("Архив изменён: запись %1 не подтверждена ни одним событием").arg(entry.id);
            if (!entry.recordsHash && !coverage.deleted.contains(entry.id))
                return QStringLiteral("Архив изменён: данные записи %1 удалены без события удаления").arg(entry.id);
            if (!entry.intact) {
                return QStringLiteral("Архив изменён: данные записи %1 не совпадают с её контрольной суммой SHA-256")
                    .arg(entry.id);
            }
            ++check.entries;
        }
        more = page.size() == size_t(EntriesPerPage);
        if (more)
            lastId = page.back().id;
    }
    return QString();
}

// After a write the main file takes in what the write-ahead log holds, so a
// plain copy of that file alone is the whole archive. FULL waits for readers
// still on the snapshot before the write (the window reading a page), which
// a PASSIVE checkpoint would stop short of; the wait is kept short, as the
// write itself is done and stays in the log either way.
void TArchive::checkpoint()
{
    if (location_.engine != TArchiveLocation::Engine::Sqlite)
        return;
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    query.exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(CheckpointWaitMs));
    query.exec(QStringLiteral("PRAGMA wal_checkpoint(FULL)"));
    query.exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(location_.busyTimeoutMs));
}

// VACUUM INTO writes one snapshot of the archive as a single file with no
// write-ahead log beside it, into the empty temporary file FileSave gives;
// the copy is counted from itself and only then put in place.
std::optional<qint64> TArchive::backup(const QString& target, QString* error)
{
    if (const QString refusal = ArchiveBackupRefusal(location_); !refusal.isEmpty()) {
        *error = refusal;
        return std::nullopt;
    }
    const auto fail = [error, &target](const QString& reason) {
        *error = WithDetail(QStringLiteral("Резервная копия архива не сохранена в %1: %2")
                                .arg(QDir::toNativeSeparators(target), MessageLine(reason)),
                            MessageDetail(reason));
        return std::nullopt;
    };
    const QFileInfo targetFile(target);
    if (targetFile.exists() && targetFile.canonicalFilePath() == QFileInfo(location_.database).canonicalFilePath())
        return fail(QStringLiteral("это файл самого архива"));
    FileSave save(target);
    QString reason;
    const QString work = save.openPath(&reason);
    if (work.isEmpty())
        return fail(reason);
    QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    QSqlQuery query(database);
    if (!execPrepared(query, QStringLiteral("VACUUM INTO ?"), {work})) {
        const QSqlError failure = query.lastError();
        // The archive's own words name the archive; a full disk here is the copy's.
        return fail(failure.nativeErrorCode().toInt() == SqliteFull ? SystemErrorReason(ENOSPC, true)
                                                                    : describe(failure));
    }
    const std::optional<qint64> logs = logsInCopy(work, &reason);
    if (!logs || !save.commit(&reason))
        return fail(reason);
    return logs;
}

#include "archive/ArchiveTestSupport.h"

#include "archive/ArchiveSchema.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QtDebug>

#include <signal.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace {

QString uniqueName(const char* stem)
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("%1_%2_%3")
        .arg(QLatin1String(stem))
        .arg(QCoreApplication::applicationPid())
        .arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

QString EngineName(TArchiveLocation::Engine engine)
{
    return engine == TArchiveLocation::Engine::Sqlite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL");
}

ScratchArchive::ScratchArchive(TArchiveLocation::Engine engine)
{
    if (engine == TArchiveLocation::Engine::Sqlite) {
        location_.database = dir_.filePath(QStringLiteral("archive.sqlite"));
        return;
    }
    const QString url = qEnvironmentVariable(PostgresqlUrlVariable);
    if (url.isEmpty()) {
        unavailable_ = QStringLiteral("%1 is not set, so the PostgreSQL cases are skipped; script/test sets it")
                           .arg(QLatin1String(PostgresqlUrlVariable));
        return;
    }
    QString error;
    const std::optional<TArchiveLocation> server = TArchiveLocation::fromUrl(url, &error);
    if (!server) {
        unavailable_ = error;
        return;
    }
    location_ = *server;
    location_.database = uniqueName("korvi_archive_test");
    DirectConnection maintenance(*server);
    if (!maintenance.exec(QStringLiteral("CREATE DATABASE %1").arg(location_.database)))
        unavailable_ = QStringLiteral("cannot create a test database on %1").arg(url);
}

ScratchArchive::~ScratchArchive()
{
    if (location_.engine == TArchiveLocation::Engine::Postgresql && unavailable_.isEmpty()) {
        TArchiveLocation server = location_;
        QString error;
        server.database = TArchiveLocation::fromUrl(qEnvironmentVariable(PostgresqlUrlVariable), &error)->database;
        DirectConnection(server).exec(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(location_.database));
    }
}

std::unique_ptr<TArchive> ScratchArchive::open()
{
    QString error;
    std::unique_ptr<TArchive> archive = TArchive::open(location_, &error);
    if (!archive)
        qWarning().noquote() << "cannot open the scratch archive:" << error;
    return archive;
}

DirectConnection::DirectConnection(const TArchiveLocation& location)
    : name_(uniqueName("direct"))
    , engine_(location.engine)
{
    database_ = QSqlDatabase::addDatabase(TArchiveDialect::of(location.engine).driver, name_);
    database_.setDatabaseName(location.database);
    database_.setHostName(location.host);
    database_.setPort(location.port);
    database_.setUserName(location.user);
    database_.setPassword(location.password);
    if (!database_.open())
        qWarning().noquote() << "cannot connect beside the archive:" << database_.lastError().text();
}

DirectConnection::~DirectConnection()
{
    database_.close();
    database_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}

bool DirectConnection::allowRecordChanges()
{
    return dropTrigger(QStringLiteral("archive_raw_records_no_update"), QStringLiteral("archive_raw_records"));
}

bool DirectConnection::allowAnyChange()
{
    bool dropped = allowRecordChanges();
    for (const QString& table : {QStringLiteral("archive_entries"), QStringLiteral("archive_events")}) {
        for (const QString& change : {QStringLiteral("_no_update"), QStringLiteral("_no_delete")})
            dropped = dropTrigger(table + change, table) && dropped;
    }
    return dropped;
}

bool DirectConnection::dropTrigger(const QString& trigger, const QString& table)
{
    const QString drop = QStringLiteral("DROP TRIGGER ") + trigger;
    return exec(engine_ == TArchiveLocation::Engine::Sqlite ? drop : drop + QStringLiteral(" ON ") + table);
}

bool DirectConnection::exec(const QString& statement, const QVariantList& values)
{
    QSqlQuery query(database_);
    bool done = false;
    if (values.isEmpty()) { // statements such as CREATE DATABASE cannot be prepared
        done = query.exec(statement);
    } else {
        query.prepare(statement);
        for (const QVariant& value : values)
            query.addBindValue(value);
        done = query.exec();
    }
    if (!done)
        qWarning().noquote() << statement << ":" << query.lastError().text();
    return done;
}

StoppedBackend::StoppedBackend(const TArchiveLocation& location, const QString& condition)
{
    // A connection of its own: inside a transaction the activity would be a snapshot.
    DirectConnection beside(location);
    QSqlQuery query(beside.database());
    const QString sql = QStringLiteral("SELECT pid FROM pg_stat_activity WHERE datname = current_database() "
                                       "AND pid <> pg_backend_pid() AND (%1) ORDER BY backend_start LIMIT 1")
                            .arg(condition);
    for (QDeadlineTimer deadline(10000); !deadline.hasExpired();
         std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
        if (!query.exec(sql)) {
            qWarning().noquote() << sql << ":" << query.lastError().text();
            return;
        }
        if (query.next()) {
            const qint64 pid = query.value(0).toLongLong();
            if (::kill(pid_t(pid), SIGSTOP) == 0)
                pid_ = pid;
            else
                qWarning() << "cannot stop the server process" << pid << ":" << strerror(errno);
            return;
        }
    }
    qWarning().noquote() << "no server process on the database meets" << condition;
}

StoppedBackend::~StoppedBackend()
{
    if (pid_ != 0)
        ::kill(pid_t(pid_), SIGCONT);
}

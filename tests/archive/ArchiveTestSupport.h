#pragma once

#include "archive/TArchive.h"

#include <QSqlDatabase>
#include <QTemporaryDir>

#include <memory>

// The variable through which script/test hands the tests its throwaway
// PostgreSQL server: postgresql://user@host:port/db of a database the user
// may create databases from.
inline constexpr char PostgresqlUrlVariable[] = "KORVI_TEST_POSTGRESQL";

// A fresh, empty archive location of one engine: a file in a temporary
// folder, or a database of its own on the test server, dropped at the end.
// It serves GoogleTest and QtTest suites alike: failures come back as null
// or false, their reasons printed, for the caller to assert.
class ScratchArchive
{
public:
    explicit ScratchArchive(TArchiveLocation::Engine engine);
    ~ScratchArchive();

    // Empty when the engine cannot be tested here, and why.
    QString unavailable() const { return unavailable_; }
    const TArchiveLocation& location() const { return location_; }
    QString folder() const { return dir_.path(); }

    // Null, with the reason printed, when the archive cannot be opened.
    std::unique_ptr<TArchive> open();

private:
    TArchiveLocation location_;
    QTemporaryDir dir_;
    QString unavailable_;
};

// A plain connection to an archive's database, beside the archive's own, for
// what a test does behind the archive's back.
class DirectConnection
{
public:
    explicit DirectConnection(const TArchiveLocation& location);
    ~DirectConnection();

    QSqlDatabase& database() { return database_; }
    // Runs one statement; false with the reason printed when it fails.
    bool exec(const QString& statement, const QVariantList& values = {});
    // Drops the trigger that keeps archived records from being changed, as
    // someone with the tables' owner's rights could.
    bool allowRecordChanges();
    // Drops every trigger that keeps the archive from being rewritten.
    bool allowAnyChange();

private:
    bool dropTrigger(const QString& trigger, const QString& table);

    QString name_;
    TArchiveLocation::Engine engine_;
    QSqlDatabase database_;
};

// The server process of another connection to a PostgreSQL database, stopped
// (SIGSTOP) as a server that hangs would be, and let go on (SIGCONT) when the
// object goes, so that the server can stop at the end.
class StoppedBackend
{
public:
    // The first backend on the location's database, other than the one it
    // asks through, whose row of pg_stat_activity meets `condition`; waited
    // for up to 10 s.
    explicit StoppedBackend(const TArchiveLocation& location, const QString& condition = QStringLiteral("true"));
    ~StoppedBackend();
    StoppedBackend(const StoppedBackend&) = delete;
    StoppedBackend& operator=(const StoppedBackend&) = delete;

    // 0, the reason printed, when none was found or it could not be stopped.
    qint64 pid() const { return pid_; }

private:
    qint64 pid_ = 0;
};

QString EngineName(TArchiveLocation::Engine engine);

#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Where the archive lives: an SQLite file on this machine or a PostgreSQL
// database that a team shares.
struct TArchiveLocation {
    enum class Engine { Sqlite, Postgresql };

    Engine engine = Engine::Sqlite;
    QString database; // the SQLite file, or the PostgreSQL database name
    QString host;
    int port = 5432;
    QString user;
    // Never from the URL, where others read it: from the desktop's secret
    // store when the server asks for one and no ~/.pgpass line gives it.
    QString password;
    // libpq's own connection parameters given in the URL (sslmode=require,
    // connect_timeout=10, ...), as name=value for libpq to apply.
    QStringList libpqParameters;
    // How long a write waits for another program's write to end.
    int busyTimeoutMs = 2000;
    // How long the PostgreSQL server may run one statement before it cancels
    // it; a server that does not answer at all is given half as long again
    // (replyLimitMs) before the program drops the connection. 20 s, so that
    // a call never waits more than 30 s.
    int statementTimeoutMs = 20000;

    int replyLimitMs() const { return statementTimeoutMs * 3 / 2; }

    // postgresql://user@host[:port]/db[?timeout=SECONDS&sslmode=...] (SECONDS:
    // the statement time-out; the other parameters libpq's, of
    // PassedLibpqParameters), or a path (or file: URL) of an SQLite file;
    // nullopt, with the reason, for anything else, a password in the URL too.
    static std::optional<TArchiveLocation> fromUrl(const QString& url, QString* error);
    // The SQLite file in the user's application data folder.
    static TArchiveLocation userDefault();
    // The archive the program uses: the command line's URL, else the user's
    // setting "archive/url", else userDefault(); nullopt, with the reason,
    // for a URL that names no archive.
    static std::optional<TArchiveLocation> chosen(const QString& commandLineUrl, QString* error);

    // For messages: the file, or user@host:port/db without the password.
    QString displayName() const;
    // Whether this account may change the SQLite file and keep its journal
    // beside it; a file marked read-only counts as unwritable even for an
    // account the system would let write it. Always true for a server.
    bool writable() const;
};

// How to give the archive server's password instead of in its URL, as the
// end of a message.
QString ArchivePasswordAdvice();

// The libpq parameters an archive's URL may carry; any other is refused.
const QStringList& PassedLibpqParameters();

#include "archive/TConnectionWatchdog.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <libpq-fe.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

// What QPSQL's driver hands out as its handle.
Q_DECLARE_OPAQUE_POINTER(PGconn*)

namespace {

// The socket of an open QPSQL connection; -1 when there is none.
int socketOf(const QSqlDatabase& database)
{
    if (!database.isOpen())
        return -1;
    const QVariant handle = database.driver()->handle();
    if (handle.metaType() != QMetaType::fromType<PGconn*>())
        return -1;
    PGconn* connection = handle.value<PGconn*>();
    return connection ? PQsocket(connection) : -1;
}

} // namespace

TConnectionWatchdog::TConnectionWatchdog(std::chrono::milliseconds limit)
    : limit_(limit)
{
}

TConnectionWatchdog::~TConnectionWatchdog()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_one();
    if (thread_.joinable())
        thread_.join();
}

TConnectionWatchdog::Guard::Guard(TConnectionWatchdog& watchdog, const QSqlDatabase& database)
    : watchdog_(watchdog)
    , armed_(watchdog.arm(socketOf(database)))
{
}

TConnectionWatchdog::Guard::~Guard()
{
    if (armed_)
        watchdog_.disarm();
}

void TConnectionWatchdog::interrupt()
{
    const std::lock_guard lock(mutex_);
    interrupted_ = true;
    if (socket_ >= 0)
        dropConnection();
}

bool TConnectionWatchdog::fired() const
{
    const std::lock_guard lock(mutex_);
    return fired_;
}

bool TConnectionWatchdog::interrupted() const
{
    const std::lock_guard lock(mutex_);
    return interrupted_;
}

bool TConnectionWatchdog::arm(int socket)
{
    {
        const std::lock_guard lock(mutex_);
        if (socket < 0 || socket_ >= 0)
            return false;
        socket_ = ::fcntl(socket, F_DUPFD_CLOEXEC, 0);
        if (socket_ < 0)
            return false;
        deadline_ = std::chrono::steady_clock::now() + limit_;
        if (interrupted_)
            dropConnection();
        // Started with the first watched call: an SQLite archive never needs it.
        if (!thread_.joinable())
            thread_ = std::thread([this] { watch(); });
    }
    changed_.notify_one();
    return true;
}

void TConnectionWatchdog::disarm()
{
    {
        const std::lock_guard lock(mutex_);
        ::close(socket_);
        socket_ = -1;
    }
    changed_.notify_one();
}

void TConnectionWatchdog::watch()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (socket_ < 0 || fired_) {
            changed_.wait(lock);
            continue;
        }
        changed_.wait_until(lock, deadline_);
        if (socket_ >= 0 && !fired_ && std::chrono::steady_clock::now() >= deadline_)
            dropConnection();
    }
}

// Both ends of the socket: the waiting call reads an end of stream at once.
void TConnectionWatchdog::dropConnection()
{
    ::shutdown(socket_, SHUT_RDWR);
    fired_ = true;
}

#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class QSqlDatabase;

// Drops a PostgreSQL connection whose server has not answered a call in
// time. libpq waits for a reply without a limit, and a server that stopped
// (rather than died) keeps the TCP link alive, so neither keepalives nor the
// server's own statement_timeout end that wait; shutting the socket down
// from the watchdog's thread does, and the call fails as on a lost link.
// Any other connection (SQLite's) is left alone.
class TConnectionWatchdog
{
public:
    explicit TConnectionWatchdog(std::chrono::milliseconds limit);
    ~TConnectionWatchdog();
    TConnectionWatchdog(const TConnectionWatchdog&) = delete;
    TConnectionWatchdog& operator=(const TConnectionWatchdog&) = delete;

    // One call on the connection, given `limit` while the guard lives; a
    // guard made inside another one's call leaves the outer limit as it is.
    class Guard
    {
    public:
        Guard(TConnectionWatchdog& watchdog, const QSqlDatabase& database);
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        TConnectionWatchdog& watchdog_;
        bool armed_;
    };

    // Drops the connection now, from any thread: the call being watched
    // fails at once, and so does the next one to be watched, if none is.
    void interrupt();
    // Whether the connection was dropped: no later call on it gets through.
    bool fired() const;
    // Whether interrupt() was called: a long call made of many checks its
    // work between them, since SQLite's are not dropped.
    bool interrupted() const;
    std::chrono::milliseconds limit() const { return limit_; }

private:
    bool arm(int socket);
    void disarm();
    void watch();
    void dropConnection(); // with the mutex held

    const std::chrono::milliseconds limit_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    // A duplicate of the connection's socket while a call is watched: libpq
    // may close its own descriptor meanwhile, and the number be reused.
    int socket_ = -1;
    std::chrono::steady_clock::time_point deadline_;
    bool fired_ = false;
    bool interrupted_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

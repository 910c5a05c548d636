#include "archive/TArchiveSession.h"

#include "archive/TArchive.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

struct TArchiveSession::Request {
    quint64 ticket = 0;
    Access access = Access::Read;
    Work work;
};

// What the session and its thread share; the thread keeps it after a
// session that could not wait for it is gone.
struct TArchiveSession::Line {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Request> requests;
    TArchiveSession* session = nullptr; // null once the session is gone: no answer is posted
    quint64 cancelledThrough = 0;       // reads asked up to this ticket are not made
    TArchive* running = nullptr;        // the archive while a call runs, to interrupt it
    Access runningAccess = Access::Read;
    bool interrupted = false;
    bool stopping = false;
    bool ended = false;
};

TArchiveSession::TArchiveSession(const TArchiveLocation& location, QObject* parent)
    : QObject(parent)
    , line_(std::make_shared<Line>())
{
    line_->session = this;
    thread_ = std::thread(&TArchiveSession::serve, line_, location);
}

TArchiveSession::~TArchiveSession()
{
    std::unique_lock lock(line_->mutex);
    line_->session = nullptr;
    line_->stopping = true;
    line_->requests.clear();
    if (line_->running) {
        line_->interrupted = true;
        line_->running->interrupt();
    }
    line_->changed.notify_all();
    const bool ended = line_->changed.wait_for(lock, std::chrono::milliseconds(ExitWaitMs),
                                               [line = line_.get()] { return line->ended; });
    lock.unlock();
    if (ended)
        thread_.join();
    else
        thread_.detach();
}

quint64 TArchiveSession::post(Access access, Work work, Done done)
{
    const quint64 ticket = ++lastTicket_;
    awaited_.emplace(ticket, std::move(done));
    {
        const std::lock_guard lock(line_->mutex);
        line_->requests.push_back({ticket, access, std::move(work)});
    }
    line_->changed.notify_all();
    return ticket;
}

void TArchiveSession::withdraw(quint64 ticket)
{
    awaited_.erase(ticket);
    const std::lock_guard lock(line_->mutex);
    std::erase_if(line_->requests, [ticket](const Request& request) { return request.ticket == ticket; });
}

void TArchiveSession::cancel()
{
    awaited_.clear();
    const std::lock_guard lock(line_->mutex);
    line_->cancelledThrough = lastTicket_;
    std::erase_if(line_->requests, [](const Request& request) { return request.access == Access::Read; });
    if (line_->running && line_->runningAccess == Access::Read) {
        line_->interrupted = true;
        line_->running->interrupt();
    }
}

void TArchiveSession::deliver(quint64 ticket, const QString& error)
{
    const auto found = awaited_.find(ticket);
    if (found == awaited_.end())
        return;
    const Done done = std::move(found->second);
    awaited_.erase(found);
    done(error);
}

// The archive is opened, used and closed on this thread, as its connection
// belongs to the thread that opened it.
void TArchiveSession::serve(const std::shared_ptr<Line>& line, const TArchiveLocation& location)
{
    std::unique_ptr<TArchive> archive;
    std::unique_lock lock(line->mutex);
    while (true) {
        line->changed.wait(lock, [&line] { return line->stopping || !line->requests.empty(); });
        if (line->stopping)
            break;
        Request request = std::move(line->requests.front());
        line->requests.pop_front();
        lock.unlock();
        QString error;
        if (!archive)
            archive = TArchive::open(location, &error);
        lock.lock();
        const bool dropped = line->stopping
                             || (request.access == Access::Read && request.ticket <= line->cancelledThrough);
        if (archive && !dropped) {
            line->running = archive.get();
            line->runningAccess = request.access;
            lock.unlock();
            request.work(*archive, &error);
            lock.lock();
            line->running = nullptr;
            // The next call connects anew: a server that stopped for a while may answer again.
            if (line->interrupted || archive->connectionDropped()) {
                line->interrupted = false;
                lock.unlock();
                archive.reset();
                lock.lock();
            }
        }
        if (line->session) {
            QMetaObject::invokeMethod(
                line->session,
                [session = line->session, ticket = request.ticket, error] { session->deliver(ticket, error); },
                Qt::QueuedConnection);
        }
    }
    lock.unlock();
    archive.reset();
    lock.lock();
    line->ended = true;
    line->changed.notify_all();
}

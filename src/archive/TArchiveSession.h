#pragma once

#include "archive/TArchiveLocation.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <type_traits>

class TArchive;

// A connection of its own to the archive, used on a thread of its own: the
// archive window's pages, a log's records with their SHA-256 check, events
// and deletions run there one after another, and each answer comes back
// queued to the thread that asked, so no window waits for the archive.
// Not the keeper's thread: storing a full log holds it for seconds, and a
// server that holds a store would hold the list behind it; a connection of
// its own reads the list meanwhile (SQLite's WAL lets it).
class TArchiveSession : public QObject
{
    Q_OBJECT

public:
    // What cancel() does to a call: a read is dropped, interrupted when it
    // runs; a write (a deletion the user confirmed) is still made.
    enum class Access { Read, Write };
    // How long the end of the session waits for a call it could not
    // interrupt (an SQLite file busy, a server still being connected to);
    // then the thread is let go, to end by itself with what it owns.
    static constexpr int ExitWaitMs = 3000;

    explicit TArchiveSession(const TArchiveLocation& location, QObject* parent = nullptr);
    // Drops every call not begun and interrupts the running one.
    ~TArchiveSession() override;

    // Runs `call(TArchive&, QString* error)` on the session's thread after
    // every call asked before, the archive opened first when it is not;
    // `answer(result, error)` gets its result on this object's thread, or a
    // default result and the reason the archive could not be opened, unless
    // the answer was withdrawn or cancelled meanwhile. Returns its ticket.
    template <typename Call, typename Answer>
    quint64 ask(Access access, Call call, Answer answer);
    // The answer is no longer wanted; a call not begun is not made.
    void withdraw(quint64 ticket);
    // Every answer still due is dropped, and every read not yet done.
    void cancel();

private:
    using Work = std::function<void(TArchive&, QString* error)>;
    using Done = std::function<void(const QString& error)>;
    struct Request;
    struct Line;

    quint64 post(Access access, Work work, Done done);
    void deliver(quint64 ticket, const QString& error);
    static void serve(const std::shared_ptr<Line>& line, const TArchiveLocation& location);

    std::shared_ptr<Line> line_;
    std::thread thread_;
    std::map<quint64, Done> awaited_;
    quint64 lastTicket_ = 0;
};

template <typename Call, typename Answer>
quint64 TArchiveSession::ask(Access access, Call call, Answer answer)
{
    using Result = std::invoke_result_t<Call&, TArchive&, QString*>;
    // Written on the session's thread before the answer is posted, read here after.
    auto result = std::make_shared<Result>();
    return post(
        access, [call = std::move(call), result](TArchive& archive, QString* error) { *result = call(archive, error); },
        [answer = std::move(answer), result](const QString& error) { answer(std::move(*result), error); });
}

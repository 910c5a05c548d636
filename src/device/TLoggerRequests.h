#pragma once

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>

class HidBackend;
class QThread;
class TDeviceLink;

// The logger's own thread. The device link lives there, and every exchange
// the windows want is a request run on it: in the order asked, one at a
// time, so that no window waits for the logger. A request's result comes
// back on this object's thread to the object that asked, and is dropped if
// that object is gone meanwhile. The link's status lines and alarms reach
// the windows queued, in the order the link emitted them and before the
// result of the request that caused them.
class TLoggerRequests : public QObject {
    Q_OBJECT
public:
    // How long the end of the program waits for a request still running. A
    // thread stuck in a call is let go then, with the link it uses, so that
    // it never keeps the program up.
    static constexpr int ExitWaitMs = 3000;
    // How often a thread waiting for a result asks whether it should stop.
    static constexpr int StopCheckMs = 50;

    explicit TLoggerRequests(std::unique_ptr<HidBackend> backend, QObject* parent = nullptr);
    ~TLoggerRequests() override;

    // Runs work(link) on the logger's thread after every request asked before
    // it, then done(result), or done() for a work without a result, on this
    // object's thread while `receiver` still exists.
    template <typename Work, typename Done>
    void run(QObject* receiver, Work work, Done done);
    // A request nobody waits for.
    void send(std::function<void(TDeviceLink&)> work);
    // Logs a status line through the link, after every request asked before.
    void logStatus(const QString& message);
    // True when every request asked has had its result delivered.
    bool isIdle() const { return pending_ == 0; }

    // For a worker thread, never the UI thread: runs work(link) as a request
    // and waits for its result; nullopt at once when `stopped` turns true,
    // and the request then asks the logger nothing if it has not begun.
    template <typename Result>
    std::optional<Result> runWaiting(std::function<std::optional<Result>(TDeviceLink&)> work,
                                     const std::function<bool()>& stopped);

signals:
    void statusLogged(const QString& line);
    void accessRefused(const QString& path, const QString& reason);
    void notAnswering();

private:
    using Answer = std::function<void()>;
    class Mailbox;

    void post(QObject* receiver, std::function<Answer(TDeviceLink&)> task);
    // Runs work on the logger's thread; callable from any thread.
    void dispatch(std::function<void(TDeviceLink&)> work);

    std::unique_ptr<QThread> thread_;
    std::unique_ptr<TDeviceLink> link_;
    std::shared_ptr<Mailbox> mailbox_;
    int pending_ = 0;
};

template <typename Work, typename Done>
void TLoggerRequests::run(QObject* receiver, Work work, Done done)
{
    using Result = std::invoke_result_t<Work&, TDeviceLink&>;
    post(receiver, [work = std::move(work), done = std::move(done)](TDeviceLink& link) mutable -> Answer {
        if constexpr (std::is_void_v<Result>) {
            work(link);
            return [done]() mutable { done(); };
        } else {
            return [done, result = work(link)]() mutable { done(std::move(result)); };
        }
    });
}

template <typename Result>
std::optional<Result> TLoggerRequests::runWaiting(std::function<std::optional<Result>(TDeviceLink&)> work,
                                                  const std::function<bool()>& stopped)
{
    struct Exchange {
        std::mutex mutex;
        std::condition_variable answered;
        bool done = false;
        bool abandoned = false;
        std::optional<Result> result;
    };
    const auto exchange = std::make_shared<Exchange>();
    dispatch([exchange, work = std::move(work)](TDeviceLink& link) {
        {
            const std::lock_guard lock(exchange->mutex);
            if (exchange->abandoned)
                return;
        }
        std::optional<Result> result = work(link);
        const std::lock_guard lock(exchange->mutex);
        exchange->result = std::move(result);
        exchange->done = true;
        exchange->answered.notify_all();
    });
    std::unique_lock lock(exchange->mutex);
    while (!exchange->done) {
        if (stopped()) {
            exchange->abandoned = true;
            return std::nullopt;
        }
        exchange->answered.wait_for(lock, std::chrono::milliseconds(StopCheckMs));
    }
    return exchange->result;
}

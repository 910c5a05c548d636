#include "device/TLoggerRequests.h"

#include "device/HidBackend.h"
#include "device/TDeviceLink.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QPointer>
#include <QThread>

#include <atomic>

// Where the logger's thread hands results to: closed when the requests'
// owner goes, so that no queued request runs any more and a thread that was
// let go delivers nothing.
class TLoggerRequests::Mailbox {
public:
    explicit Mailbox(TLoggerRequests* owner) : owner_(owner) {}

    void deliver(std::function<void(TLoggerRequests&)> delivery)
    {
        const QMutexLocker lock(&mutex_);
        if (!owner_)
            return;
        QMetaObject::invokeMethod(
            owner_, [owner = owner_, delivery = std::move(delivery)] { delivery(*owner); }, Qt::QueuedConnection);
    }

    void close()
    {
        closed_ = true;
        const QMutexLocker lock(&mutex_);
        owner_ = nullptr;
    }

    bool closed() const { return closed_; }

private:
    std::atomic<bool> closed_ = false;
    QMutex mutex_;
    TLoggerRequests* owner_;
};

TLoggerRequests::TLoggerRequests(std::unique_ptr<HidBackend> backend, QObject* parent)
    : QObject(parent)
    , thread_(std::make_unique<QThread>())
    , link_(std::make_unique<TDeviceLink>(std::move(backend)))
    , mailbox_(std::make_shared<Mailbox>(this))
{
    thread_->setObjectName(QStringLiteral("LoggerThread"));
    link_->moveToThread(thread_.get());
    // Emitted on the logger's thread, received queued on this object's.
    connect(link_.get(), &TDeviceLink::statusLogged, this, &TLoggerRequests::statusLogged);
    connect(link_.get(), &TDeviceLink::accessRefused, this, &TLoggerRequests::accessRefused);
    connect(link_.get(), &TDeviceLink::notAnswering, this, &TLoggerRequests::notAnswering);
    thread_->start();
}

TLoggerRequests::~TLoggerRequests()
{
    // The request running ends; those queued behind it are passed over.
    mailbox_->close();
    thread_->quit();
    if (thread_->wait(QDeadlineTimer(ExitWaitMs)))
        return;
    // Destroying a running thread would end the program at once; it is let
    // go instead, with the link and backend it is still using.
    QThread* abandonedThread = thread_.release();
    TDeviceLink* abandonedLink = link_.release();
    Q_UNUSED(abandonedThread);
    Q_UNUSED(abandonedLink);
}

void TLoggerRequests::post(QObject* receiver, std::function<Answer(TDeviceLink&)> task)
{
    ++pending_;
    dispatch([mailbox = mailbox_, receiver = QPointer<QObject>(receiver), task = std::move(task)](TDeviceLink& link) {
        mailbox->deliver([receiver, answer = task(link)](TLoggerRequests& requests) {
            --requests.pending_;
            if (receiver)
                answer();
        });
    });
}

void TLoggerRequests::dispatch(std::function<void(TDeviceLink&)> work)
{
    QMetaObject::invokeMethod(
        link_.get(),
        [link = link_.get(), mailbox = mailbox_, work = std::move(work)] {
            if (!mailbox->closed())
                work(*link);
        },
        Qt::QueuedConnection);
}

void TLoggerRequests::send(std::function<void(TDeviceLink&)> work)
{
    run(this, std::move(work), [] {});
}

void TLoggerRequests::logStatus(const QString& message)
{
    send([message](TDeviceLink& link) { link.LogStatus(message); });
}

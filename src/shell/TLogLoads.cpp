#include "shell/TLogLoads.h"

#include "data/Loader.h"
#include "shell/TBackgroundJob.h"
#include "shell/TLoggerConnection.h"

#include <QByteArray>

#include <mutex>
#include <utility>

namespace {

// The progress is passed on no more often than a display refreshes.
constexpr qint64 ProgressFrameMs = 16;

}  // namespace

// A worker's one way into the UI thread: calls posted to the loads while
// they exist; once they are gone, a worker still ending posts into nothing.
class TWorkerPost {
public:
    explicit TWorkerPost(QObject* receiver) : receiver_(receiver) {}

    void post(std::function<void()> call)
    {
        const std::lock_guard lock(mutex_);
        if (receiver_)
            QMetaObject::invokeMethod(receiver_, std::move(call), Qt::QueuedConnection);
    }

    void close()
    {
        const std::lock_guard lock(mutex_);
        receiver_ = nullptr;
    }

private:
    std::mutex mutex_;
    QObject* receiver_;
};

TLogLoads::TLogLoads(TBackgroundJob& job, TLoggerConnection& connection, const VolumeSource& volumes,
                     QObject* parent)
    : QObject(parent)
    , job_(job)
    , connection_(connection)
    , volumes_(volumes)
    , post_(std::make_shared<TWorkerPost>(this))
{
}

TLogLoads::~TLogLoads()
{
    post_->close();
}

bool TLogLoads::loadFromDrives()
{
    TLoadRequest request = requestWithRecordCount();
    request.expectedLabel = connection_.deviceLabel();
    request.testMode = connection_.testMode();
    return start(TLoadOrigin::Drives, QString(), std::move(request),
                 [](TLoader& loader, const TLoadRequest& load) { return loader.loadFromDrives(load); });
}

void TLogLoads::loadFile(const QString& path, QObject* receiver, Done done)
{
    startOpening(
        TLoadOrigin::File, path, requestWithRecordCount(),
        [path](TLoader& loader, const TLoadRequest& load) { return loader.loadFile(path, load); }, receiver,
        std::move(done));
}

void TLogLoads::loadArchived(const QString& label, const QByteArray& raw, QObject* receiver, Done done)
{
    startOpening(
        TLoadOrigin::Archive, label, requestWithRecordCount(),
        [label, raw](TLoader& loader, const TLoadRequest& load) { return loader.loadRecords(label, raw, load); },
        receiver, std::move(done));
}

void TLogLoads::cancel()
{
    if (isLoading())
        job_.cancel();
}

// A load that reads nothing keeps the record count the last one left.
TLoadRequest TLogLoads::requestWithRecordCount() const
{
    TLoadRequest request;
    request.recordCount = connection_.recordCount();
    return request;
}

void TLogLoads::startOpening(TLoadOrigin origin, const QString& name, TLoadRequest request, LoadWork load,
                             QObject* receiver, Done done)
{
    if (start(origin, name, std::move(request), std::move(load))) {
        doneReceiver_ = receiver;
        done_ = std::move(done);
        return;
    }
    if (done)
        done(QStringLiteral("Не удалось открыть %1: сначала должна закончиться %2").arg(name, job_.title().toLower()));
}

bool TLogLoads::start(TLoadOrigin origin, const QString& name, TLoadRequest request, LoadWork load)
{
    const quint64 serial = lastSerial_ + 1;
    request.showProgress = [post = post_, serial, this](const QString& text) {
        post->post([this, serial, text] { showProgress(serial, text); });
    };
    auto result = std::make_shared<TLoadResult>();
    const bool started = job_.start(
        QStringLiteral("Загрузка данных"),
        // A loader of its own: a cancelled load may still be ending as the next one starts.
        [volumes = &volumes_, connection = &connection_, post = post_, result, request = std::move(request),
         load = std::move(load)](TJobProgress& progress) mutable {
            request.job = &progress;
            // Asked on the logger's thread; the worker waits, but never past a cancel.
            request.recordCountOf = [connection, &progress](const QString&) {
                return connection->readRecordCountWaiting(progress);
            };
            TLoader loader(*volumes);
            *result = load(loader, request);
        },
        [this, serial, origin, name, result](bool cancelled) {
            end(TLoadOutcome{serial, origin, name, cancelled ? nullptr : result});
        });
    if (started)
        lastSerial_ = serialRunning_ = serial;
    return started;
}

// The worker's texts come as the percentage changes; they are passed on at
// most once a frame, since every paint of them waits for the display.
void TLogLoads::showProgress(quint64 serial, const QString& text)
{
    if (serial != serialRunning_)
        return;
    lastProgressText_ = text;
    if (progressPainted_.isValid() && !progressPainted_.hasExpired(ProgressFrameMs))
        return;
    emit progressed(text);
    progressPainted_.start();
}

// The last text of a load is passed on however soon after the one before.
void TLogLoads::end(TLoadOutcome outcome)
{
    if (!lastProgressText_.isEmpty())
        emit progressed(lastProgressText_);
    progressPainted_.invalidate();
    lastProgressText_.clear();
    serialRunning_ = 0;
    const QPointer<QObject> receiver = std::exchange(doneReceiver_, nullptr);
    const Done done = std::exchange(done_, nullptr);
    emit finished(outcome);
    if (receiver && done)
        done(outcome.result ? outcome.result->failure : QString());
}

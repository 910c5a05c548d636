#include "archive/TArchiveKeeper.h"

#include "archive/ArchivedLog.h"
#include "archive/TArchive.h"

#include <QDeadlineTimer>
#include <QThread>

namespace {

// "1 журнал", "3 журнала", "5 журналов".
QString logCount(qsizetype count)
{
    const qsizetype units = count % 10;
    const qsizetype tens = count % 100;
    const char* noun = units == 1 && tens != 11                             ? "журнал"
                       : units >= 2 && units <= 4 && (tens < 12 || tens > 14) ? "журнала"
                                                                              : "журналов";
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf8(noun));
}

} // namespace

// Lives on the keeper's thread; the archive is opened, used and closed there.
class TArchiveKeeper::Worker : public QObject
{
public:
    explicit Worker(TArchiveKeeper& keeper)
        : keeper_(keeper)
    {
    }

    bool open()
    {
        if (archive_)
            return true;
        QString error;
        archive_ = TArchive::open(keeper_.location(), &error);
        if (archive_) {
            tell([&keeper = keeper_] { emit keeper.opened(); });
        } else if (!told_) {
            told_ = true;
            tell([&keeper = keeper_, error] { emit keeper.unavailable(error); });
        }
        return archive_ != nullptr;
    }

    void keep(const QString& label, const QByteArray& raw, const QString& origin)
    {
        store(label, raw, origin);
        const std::lock_guard lock(keeper_.pendingMutex_);
        keeper_.pending_.removeOne(label);
    }

    // The log's entry is looked up by its bytes' SHA-256 here, after the
    // logs queued before it were stored.
    void note(TArchiveEvent event, const QByteArray& raw)
    {
        if (!open())
            return;
        QString error;
        std::optional<qint64> entryId = raw.isEmpty() ? 0 : archive_->entryHolding(Sha256Of(raw), &error);
        const bool noted = entryId && (*entryId != 0
                                           ? archive_->addEvent(*entryId, event.kind, event.detail, event.stamp, &error)
                                           : archive_->addLoggerEvent(event.label, event.kind, event.detail,
                                                                      event.stamp, &error));
        if (noted)
            return;
        if (archive_->connectionDropped())
            archive_.reset();
        tell([&keeper = keeper_, error] { emit keeper.failed(error); });
    }

    void findLatest(const QString& label)
    {
        if (!open())
            return;
        TArchiveQuery newest;
        newest.label = label;
        newest.limit = 1;
        QString error;
        const std::vector<TArchiveEntry> found = archive_->entries(newest, &error);
        if (!error.isEmpty()) {
            if (archive_->connectionDropped())
                archive_.reset();
            return;
        }
        const QDateTime storedAt =
            found.empty() ? QDateTime() : QDateTime::fromSecsSinceEpoch(found.front().stored.utcSeconds);
        tell([&keeper = keeper_, label, storedAt] { emit keeper.latestFound(label, storedAt); });
    }

    void close() { archive_.reset(); }

private:
    void store(const QString& label, const QByteArray& raw, const QString& origin)
    {
        if (!open())
            return;
        QString error;
        const std::optional<TStoredLog> stored = archive_->store(label, raw, origin, TArchiveStamp::now(), &error);
        if (stored) {
            tell([&keeper = keeper_, stored = *stored, label] {
                emit keeper.kept(stored.entryId, stored.added, label);
            });
            return;
        }
        // The next log connects anew: a server that stopped for a while may answer again.
        if (archive_->connectionDropped())
            archive_.reset();
        tell([&keeper = keeper_, error] { emit keeper.failed(error); });
    }

    // The keeper's signals go out on the keeper's own thread, from its event
    // loop: after whoever made it has connected to them.
    template <typename Signal>
    void tell(Signal signal)
    {
        QMetaObject::invokeMethod(&keeper_, std::move(signal), Qt::QueuedConnection);
    }

    TArchiveKeeper& keeper_;
    std::unique_ptr<TArchive> archive_;
    bool told_ = false;
};

TArchiveKeeper::TArchiveKeeper(const TArchiveLocation& location, QObject* parent)
    : QObject(parent)
    , location_(location)
    , thread_(new QThread(this))
    , worker_(new Worker(*this))
{
    thread_->setObjectName(QStringLiteral("archive"));
    worker_->moveToThread(thread_);
    thread_->start();
    QMetaObject::invokeMethod(worker_, [worker = worker_] { worker->open(); });
}

TArchiveKeeper::~TArchiveKeeper()
{
    closeWhenQueuedAreDone();
    thread_->wait();
    delete worker_;
}

void TArchiveKeeper::keep(const QString& label, const QByteArray& raw, const QString& origin)
{
    {
        const std::lock_guard lock(pendingMutex_);
        pending_ << label;
    }
    QMetaObject::invokeMethod(worker_, [worker = worker_, label, raw, origin] { worker->keep(label, raw, origin); });
}

void TArchiveKeeper::noteLog(const QByteArray& raw, const QString& label, TArchiveEventKind kind,
                             const QString& detail)
{
    TArchiveEvent event;
    event.label = label;
    event.kind = kind;
    event.detail = detail;
    event.stamp = TArchiveStamp::now();
    QMetaObject::invokeMethod(worker_, [worker = worker_, event, raw] { worker->note(event, raw); });
}

void TArchiveKeeper::noteLogger(const QString& label, TArchiveEventKind kind, const QString& detail)
{
    noteLog(QByteArray(), label, kind, detail);
}

void TArchiveKeeper::findLatest(const QString& label)
{
    QMetaObject::invokeMethod(worker_, [worker = worker_, label] { worker->findLatest(label); });
}

QString TArchiveKeeper::finish(std::chrono::milliseconds grace)
{
    closeWhenQueuedAreDone();
    if (thread_->wait(QDeadlineTimer(grace)))
        return QString();
    const std::lock_guard lock(pendingMutex_);
    if (pending_.isEmpty()) // only the connection is still being closed
        return QString();
    return QStringLiteral("Не сохранено в архиве: %1 (%2)")
        .arg(logCount(pending_.size()), pending_.join(QStringLiteral(", ")));
}

void TArchiveKeeper::closeWhenQueuedAreDone()
{
    if (closing_)
        return;
    closing_ = true;
    QMetaObject::invokeMethod(worker_, [worker = worker_, thread = thread_] {
        worker->close();
        thread->quit();
    });
}

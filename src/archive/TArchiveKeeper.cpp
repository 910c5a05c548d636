#include "archive/TArchiveKeeper.h"

#include "archive/ArchivedLog.h"
#include "archive/TArchive.h"

#include "text/MessageText.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <atomic>

namespace {

// What was not stored, and why, as the status line says it.
QString NotStoredText(const TQueuedItem& item, const QString& reason)
{
    if (item.kind == TQueuedItem::Kind::Log)
        return QStringLiteral("Журнал %1 не помещён в архив: %2").arg(item.label, reason);
    return QStringLiteral("Событие «%1» не записано в архив: %2").arg(ArchiveEventKindTitle(item.event), reason);
}

// "1 журнал", "3 журнала", "5 журналов"; the forms for one, a few and many.
QString countOf(qsizetype count, const char* one, const char* few, const char* many)
{
    const qsizetype units = count % 10;
    const qsizetype tens = count % 100;
    const char* noun = units == 1 && tens != 11                             ? one
                       : units >= 2 && units <= 4 && (tens < 12 || tens > 14) ? few
                                                                              : many;
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf8(noun));
}

QString logCount(qsizetype count)
{
    return countOf(count, "журнал", "журнала", "журналов");
}

} // namespace

// Lives on the keeper's thread; the archive is opened, used and closed there.
class TArchiveKeeper::Worker : public QObject
{
public:
    Worker(TArchiveKeeper& keeper, std::chrono::milliseconds retryInterval)
        : keeper_(keeper)
        , retryInterval_(retryInterval)
    {
    }

    void start()
    {
        retry_ = new QTimer(this);
        retry_->setInterval(retryInterval_);
        connect(retry_, &QTimer::timeout, this, [this] { storeWaiting(); });
        QString reason;
        if (open(&reason))
            storeWaiting();
        else
            settle(reason);
    }

    // Asked from any thread; asks made before it runs are served by one go.
    void scheduleStore()
    {
        if (!storeScheduled_.exchange(true)) {
            QMetaObject::invokeMethod(this, [this] {
                storeScheduled_ = false;
                storeWaiting();
            });
        }
    }

    // An item the queue could not hold is tried once, as it is.
    void storeUnqueued(const TQueuedItem& item)
    {
        QString reason;
        if (!open(&reason) || store(item, QString(), &reason) == Outcome::Lost) {
            archive_.reset();
            forget(item);
        }
        if (!reason.isEmpty()) {
            const QString line = NotStoredText(item, reason);
            tell([&keeper = keeper_, line] { emit keeper.failed(line); });
        }
    }

    void findLatest(const QString& label)
    {
        if (!open(nullptr))
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

    void close()
    {
        delete retry_;
        retry_ = nullptr;
        archive_.reset();
    }

private:
    enum class Outcome { Stored, Refused, Lost };

    bool open(QString* reason)
    {
        if (archive_)
            return true;
        QString error;
        archive_ = TArchive::open(keeper_.location(), &error);
        if (archive_) {
            tell([&keeper = keeper_] { emit keeper.opened(); });
        } else {
            if (reason)
                *reason = error;
            if (!told_) {
                told_ = true;
                tell([&keeper = keeper_, error] { emit keeper.unavailable(error); });
            }
        }
        return archive_ != nullptr;
    }

    // Oldest first, each stored and removed; a connection lost on one is
    // opened anew once for it, since a restarted server answers again at once.
    void storeWaiting()
    {
        QString reason;
        if (!queue().lock()) {
            settle(QStringLiteral("их сохраняет другая запущенная копия программы"));
            return;
        }
        const QStringList files = waitingFiles();
        bool reconnected = false;
        for (qsizetype next = 0; next < files.size();) {
            const QString& file = files[next];
            QString error;
            const std::optional<TQueuedItem> item = queue().read(file, &error);
            if (!item) {
                setAside(file, error);
                ++next;
                continue;
            }
            if (!open(&reason))
                break;
            const Outcome outcome = store(*item, file, &error);
            if (outcome == Outcome::Lost) {
                archive_.reset();
                reason = error;
                if (reconnected)
                    break;
                reconnected = true;
                settle(reason);
                continue;
            }
            if (outcome == Outcome::Refused) {
                const QString line = NotStoredText(*item, error);
                tell([&keeper = keeper_, line] { emit keeper.failed(line); });
            }
            ++next;
        }
        queue().unlock();
        settle(reason);
    }

    // Unless the connection was lost, the item's file (if any) is removed
    // before anyone is told: whoever hears of a stored log finds it gone.
    Outcome store(const TQueuedItem& item, const QString& file, QString* error)
    {
        std::optional<TStoredLog> stored;
        bool done = false;
        if (item.kind == TQueuedItem::Kind::Log) {
            stored = archive_->store(item.label, item.raw, item.origin, item.stamp, error);
            done = stored.has_value();
        } else {
            // The log's entry is looked up here, after the logs queued before it were stored.
            const std::optional<qint64> entryId =
                item.sha256.isEmpty() ? 0 : archive_->entryHolding(item.sha256, error);
            done = entryId
                   && (*entryId != 0
                           ? archive_->addEvent(*entryId, item.event, item.detail, item.stamp, error)
                           : archive_->addLoggerEvent(item.label, item.event, item.detail, item.stamp, error));
        }
        if (!done && archive_->connectionDropped())
            return Outcome::Lost;
        if (!file.isEmpty())
            queue().remove(file);
        forget(item);
        if (stored) {
            tell([&keeper = keeper_, stored = *stored, label = item.label] {
                emit keeper.kept(stored.entryId, stored.added, label);
            });
        }
        return done ? Outcome::Stored : Outcome::Refused;
    }

    // Told once: the file leaves the queue, or, when it cannot, is passed over from now on.
    void setAside(const QString& file, const QString& why)
    {
        if (!queue().setAside(file))
            passedOver_ << file;
        const QString reason = QStringLiteral("Файл очереди архива %1 отложен: %2")
                                   .arg(QDir::toNativeSeparators(file), why);
        tell([&keeper = keeper_, reason] { emit keeper.failed(reason); });
    }

    QStringList waitingFiles() const
    {
        QStringList files = queue().waiting();
        files.removeIf([this](const QString& file) { return passedOver_.contains(file); });
        return files;
    }

    // Tells what still waits, when that changed, and tries again later while anything does.
    void settle(const QString& reason)
    {
        const QStringList files = waitingFiles();
        const int logs = int(TArchiveQueue::logsAmong(files));
        const int notes = int(files.size()) - logs;
        const QString why = files.isEmpty() ? QString() : reason;
        if (logs != toldLogs_ || notes != toldNotes_ || why != toldReason_) {
            toldLogs_ = logs;
            toldNotes_ = notes;
            toldReason_ = why;
            tell([&keeper = keeper_, logs, notes, why] { emit keeper.waitingChanged(logs, notes, why); });
        }
        if (files.isEmpty())
            retry_->stop();
        else if (!retry_->isActive())
            retry_->start();
    }

    void forget(const TQueuedItem& item)
    {
        if (item.kind != TQueuedItem::Kind::Log)
            return;
        const std::lock_guard lock(keeper_.pendingMutex_);
        keeper_.pending_.removeOne(item.label);
    }

    TArchiveQueue& queue() const { return keeper_.queue_; }

    // The keeper's signals go out on the keeper's own thread, from its event
    // loop: after whoever made it has connected to them.
    template <typename Signal>
    void tell(Signal signal)
    {
        QMetaObject::invokeMethod(&keeper_, std::move(signal), Qt::QueuedConnection);
    }

    TArchiveKeeper& keeper_;
    const std::chrono::milliseconds retryInterval_;
    std::unique_ptr<TArchive> archive_;
    QTimer* retry_ = nullptr;
    std::atomic_bool storeScheduled_ = false;
    bool told_ = false;
    QStringList passedOver_;
    int toldLogs_ = 0;
    int toldNotes_ = 0;
    QString toldReason_;
};

TArchiveKeeper::TArchiveKeeper(const TArchiveLocation& location, QObject* parent,
                               std::chrono::milliseconds retryInterval)
    : QObject(parent)
    , location_(location)
    , queue_(TArchiveQueue::folderOf(location))
    , writer_(new QThreadPool(this))
    , thread_(new QThread(this))
    , worker_(new Worker(*this, retryInterval))
{
    writer_->setMaxThreadCount(1);
    thread_->setObjectName(QStringLiteral("archive"));
    worker_->moveToThread(thread_);
    thread_->start();
    QMetaObject::invokeMethod(worker_, [worker = worker_] { worker->start(); });
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
    TQueuedItem item;
    item.label = label;
    item.raw = raw;
    item.origin = origin;
    item.stamp = TArchiveStamp::now();
    writer_->start([this, item] { writeQueued(item); });
}

void TArchiveKeeper::noteLog(const QByteArray& raw, const QString& label, TArchiveEventKind kind,
                             const QString& detail)
{
    TQueuedItem item;
    item.kind = TQueuedItem::Kind::Note;
    item.label = label;
    item.event = kind;
    item.detail = detail;
    item.stamp = TArchiveStamp::now();
    writer_->start([this, item, raw]() mutable {
        if (!raw.isEmpty())
            item.sha256 = Sha256Of(raw);
        writeQueued(item);
    });
}

void TArchiveKeeper::noteLogger(const QString& label, TArchiveEventKind kind, const QString& detail)
{
    noteLog(QByteArray(), label, kind, detail);
}

void TArchiveKeeper::findLatest(const QString& label)
{
    // Through the writer, so that the logs kept before are asked for after them.
    writer_->start([worker = worker_, label] {
        QMetaObject::invokeMethod(worker, [worker, label] { worker->findLatest(label); });
    });
}

void TArchiveKeeper::writeQueued(const TQueuedItem& item)
{
    QString error;
    if (queue_.add(item, &error))
        worker_->scheduleStore();
    else
        QMetaObject::invokeMethod(worker_, [worker = worker_, item] { worker->storeUnqueued(item); });
}

QString TArchiveKeeper::finish(std::chrono::milliseconds grace)
{
    closeWhenQueuedAreDone();
    if (thread_->wait(QDeadlineTimer(grace)))
        return QString();
    const std::lock_guard lock(pendingMutex_);
    if (pending_.isEmpty()) // only the connection is still being closed
        return QString();
    return QStringLiteral("Ожидают сохранения в архиве: %1 (%2); они будут сохранены при следующем запуске")
        .arg(logCount(pending_.size()), pending_.join(QStringLiteral(", ")));
}

void TArchiveKeeper::closeWhenQueuedAreDone()
{
    if (closing_)
        return;
    closing_ = true;
    // Every item written first, so that the worker's last go sees it.
    writer_->waitForDone();
    QMetaObject::invokeMethod(worker_, [worker = worker_, thread = thread_] {
        worker->close();
        thread->quit();
    });
}

QString ArchiveWaitingText(int logs, int notes, const QString& reason)
{
    if (logs == 0 && notes == 0)
        return QStringLiteral("Архив: сохранены ожидавшие журналы");
    QStringList waiting;
    if (logs > 0)
        waiting << logCount(logs);
    if (notes > 0)
        waiting << countOf(notes, "событие", "события", "событий");
    const QString line = QStringLiteral("Ожидают сохранения в архиве: %1").arg(waiting.join(QStringLiteral(" и ")));
    return reason.isEmpty() ? line
                            : WithDetail(QStringLiteral("%1 (%2)").arg(line, MessageLine(reason)), MessageDetail(reason));
}

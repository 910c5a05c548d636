#include "archive/TArchiveKeeper.h"

#include "archive/TArchive.h"

#include <QThread>

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
        if (!open())
            return;
        QString error;
        if (const std::optional<TStoredLog> stored = archive_->store(label, raw, origin, TArchiveStamp::now(), &error))
            tell([&keeper = keeper_, stored = *stored] { emit keeper.kept(stored.entryId, stored.added); });
        else
            tell([&keeper = keeper_, error] { emit keeper.failed(error); });
    }

    void close() { archive_.reset(); }

private:
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

// Queued after every log still waiting, so none of them is lost.
TArchiveKeeper::~TArchiveKeeper()
{
    QMetaObject::invokeMethod(worker_, [worker = worker_, thread = thread_] {
        worker->close();
        thread->quit();
    });
    thread_->wait();
    delete worker_;
}

void TArchiveKeeper::keep(const QString& label, const QByteArray& raw, const QString& origin)
{
    QMetaObject::invokeMethod(worker_, [worker = worker_, label, raw, origin] { worker->keep(label, raw, origin); });
}

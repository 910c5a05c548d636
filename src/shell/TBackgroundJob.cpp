#include "shell/TBackgroundJob.h"

#include <QThread>
#include <QTimer>

TBackgroundJob::TBackgroundJob(QObject* parent)
    : QObject(parent)
    , ProgressTimer(new QTimer(this))
{
    ProgressTimer->setInterval(ProgressIntervalMs);
    connect(ProgressTimer, &QTimer::timeout, this, &TBackgroundJob::readProgress);
}

TBackgroundJob::~TBackgroundJob()
{
    if (Worker) {
        Progress->cancel();
        Worker->wait();
    }
    for (const std::unique_ptr<QThread>& finishing : Finishing)
        finishing->wait();
}

bool TBackgroundJob::start(const QString& title, Work work, Done done)
{
    if (isRunning())
        return false;
    Title = title;
    OnDone = std::move(done);
    Progress = std::make_shared<TJobProgress>();
    Worker.reset(QThread::create([work = std::move(work), progress = Progress] { work(*progress); }));
    // Emitted by the worker as it ends; received here on the UI thread.
    connect(Worker.get(), &QThread::finished, this, &TBackgroundJob::workerFinished, Qt::QueuedConnection);
    emit started(Title);
    emit progressed(0, 0);
    ProgressTimer->start();
    Worker->start();
    return true;
}

void TBackgroundJob::cancel()
{
    if (!Worker || Progress->cancelled())
        return;
    Progress->cancel();
    QTimer::singleShot(CancelTakesMs, this, [this, worker = Worker.get()] {
        if (Worker.get() == worker && !worker->isFinished())
            leaveToFinish();
    });
}

void TBackgroundJob::leaveToFinish()
{
    QThread* worker = Worker.get();
    disconnect(worker, &QThread::finished, this, &TBackgroundJob::workerFinished);
    connect(worker, &QThread::finished, this, [this, worker] {
        worker->wait();
        std::erase_if(Finishing, [worker](const std::unique_ptr<QThread>& finishing) { return finishing.get() == worker; });
    }, Qt::QueuedConnection);
    Finishing.push_back(std::move(Worker));
    end();
}

void TBackgroundJob::readProgress()
{
    emit progressed(Progress->done(), Progress->total());
}

void TBackgroundJob::workerFinished()
{
    // A worker left to finish may have posted its end before it was left.
    if (!Worker || !Worker->isFinished())
        return;
    Worker->wait();
    Worker.reset();
    end();
}

void TBackgroundJob::end()
{
    ProgressTimer->stop();
    const bool cancelled = Progress->cancelled();
    const Done done = std::move(OnDone);
    OnDone = nullptr;
    emit finished();
    if (done)
        done(cancelled);
}

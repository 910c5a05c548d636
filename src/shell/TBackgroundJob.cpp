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
    if (!Worker)
        return;
    Progress->cancel();
    Worker->wait();
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
    if (Progress)
        Progress->cancel();
}

void TBackgroundJob::readProgress()
{
    emit progressed(Progress->done(), Progress->total());
}

void TBackgroundJob::workerFinished()
{
    ProgressTimer->stop();
    Worker->wait();
    Worker.reset();
    const bool cancelled = Progress->cancelled();
    const Done done = std::move(OnDone);
    OnDone = nullptr;
    emit finished();
    if (done)
        done(cancelled);
}

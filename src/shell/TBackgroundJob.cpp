#include "shell/TBackgroundJob.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>

TBackgroundJob::TBackgroundJob(QObject* parent)
    : QObject(parent)
    , progressTimer_(new QTimer(this))
{
    progressTimer_->setInterval(ProgressIntervalMs);
    connect(progressTimer_, &QTimer::timeout, this, &TBackgroundJob::readProgress);
}

TBackgroundJob::~TBackgroundJob()
{
    if (worker_) {
        progress_->cancel();
        finishing_.push_back(std::move(worker_));
    }
    const QDeadlineTimer deadline(ExitWaitMs);
    for (std::unique_ptr<QThread>& finishing : finishing_) {
        if (!finishing->wait(deadline)) {
            // Destroying a running thread would end the program at once; it is let go instead.
            QThread* abandoned = finishing.release();
            Q_UNUSED(abandoned);
        }
    }
}

bool TBackgroundJob::start(const QString& title, Work work, Done done)
{
    if (isRunning())
        return false;
    title_ = title;
    onDone_ = std::move(done);
    progress_ = std::make_shared<TJobProgress>();
    worker_.reset(QThread::create([work = std::move(work), progress = progress_] { work(*progress); }));
    // Emitted by the worker as it ends; received here on the UI thread.
    connect(worker_.get(), &QThread::finished, this, &TBackgroundJob::workerFinished, Qt::QueuedConnection);
    emit started(title_);
    emit progressed(0, 0);
    progressTimer_->start();
    worker_->start();
    return true;
}

void TBackgroundJob::cancel()
{
    if (!worker_ || progress_->cancelled())
        return;
    progress_->cancel();
    QTimer::singleShot(CancelTakesMs, this, [this, worker = worker_.get()] {
        if (worker_.get() == worker && !worker->isFinished())
            leaveToFinish();
    });
}

void TBackgroundJob::leaveToFinish()
{
    QThread* worker = worker_.get();
    disconnect(worker, &QThread::finished, this, &TBackgroundJob::workerFinished);
    connect(worker, &QThread::finished, this, [this, worker] {
        worker->wait();
        std::erase_if(finishing_,
                      [worker](const std::unique_ptr<QThread>& finishing) { return finishing.get() == worker; });
    }, Qt::QueuedConnection);
    finishing_.push_back(std::move(worker_));
    end();
}

void TBackgroundJob::readProgress()
{
    emit progressed(progress_->done(), progress_->total());
}

void TBackgroundJob::workerFinished()
{
    // A worker left to finish may have posted its end before it was left.
    if (!worker_ || !worker_->isFinished())
        return;
    worker_->wait();
    worker_.reset();
    end();
}

void TBackgroundJob::end()
{
    progressTimer_->stop();
    const bool cancelled = progress_->cancelled();
    const Done done = std::move(onDone_);
    onDone_ = nullptr;
    emit finished();
    if (done)
        done(cancelled);
}

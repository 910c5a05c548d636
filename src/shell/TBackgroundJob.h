#pragma once

#include "data/JobProgress.h"

#include <QObject>

#include <functional>
#include <memory>

class QThread;
class QTimer;

// Runs one long job at a time on a worker thread, so that every window goes
// on repainting and the monitor polling while it works. The job reports its
// progress through a TJobProgress, which is read here on the UI thread, and
// its end is delivered on the UI thread too. The work must use only what it
// owns (a copy of the data it writes), never a window or the live store.
class TBackgroundJob : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(TJobProgress&)>;
    // Told on the UI thread, once the work returned, whether it was cancelled.
    using Done = std::function<void(bool cancelled)>;

    // How often the progress is read while a job runs.
    static constexpr int ProgressIntervalMs = 100;

    explicit TBackgroundJob(QObject* parent = nullptr);
    // A job still running is cancelled and waited for; its Done is not called.
    ~TBackgroundJob() override;

    // Starts `work` on a worker; false, and nothing starts, while another job runs.
    bool start(const QString& title, Work work, Done done);
    bool isRunning() const { return Worker != nullptr; }
    const QString& title() const { return Title; }
    // Asks the running job to stop; it does at its next progress report.
    void cancel();

signals:
    void started(const QString& title);
    void progressed(qint64 done, qint64 total);
    // Before the job's Done is called.
    void finished();

private:
    void workerFinished();
    void readProgress();

    QTimer* ProgressTimer;
    std::unique_ptr<QThread> Worker;
    std::shared_ptr<TJobProgress> Progress;
    Done OnDone;
    QString Title;
};

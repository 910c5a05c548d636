#pragma once

#include "data/JobProgress.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

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
    // How long a cancelled job may take to stop before the windows go on
    // without it: a worker inside a library call that runs to its end is
    // left to finish on its own, with what it owns.
    static constexpr int CancelTakesMs = 150;

    // How long the end of the program waits for cancelled workers. One that
    // is still inside a call it cannot leave is not waited for further, so
    // that it never keeps the program alive: the end of the process ends it.
    static constexpr int ExitWaitMs = 3000;

    explicit TBackgroundJob(QObject* parent = nullptr);
    // A job still running, or left to finish, is cancelled and waited for,
    // up to ExitWaitMs; its Done is not called.
    ~TBackgroundJob() override;

    // Starts `work` on a worker; false, and nothing starts, while another job runs.
    bool start(const QString& title, Work work, Done done);
    bool isRunning() const { return worker_ != nullptr; }
    const QString& title() const { return title_; }
    // Asks the running job to stop; it does at its next progress report, or
    // is left to finish unseen when it cannot stop within CancelTakesMs.
    void cancel();

signals:
    void started(const QString& title);
    void progressed(qint64 done, qint64 total);
    // Before the job's Done is called.
    void finished();

private:
    void workerFinished();
    void readProgress();
    void leaveToFinish();
    void end();

    QTimer* progressTimer_;
    std::unique_ptr<QThread> worker_;
    std::vector<std::unique_ptr<QThread>> finishing_; // cancelled workers left to end
    std::shared_ptr<TJobProgress> progress_;
    Done onDone_;
    QString title_;
};

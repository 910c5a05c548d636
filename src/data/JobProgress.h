#pragma once

#include <QString>

#include <atomic>

// How far a long job on a worker thread has come, shared with the window
// that shows it: the worker reports done/total, the window reads them and
// may ask the worker to stop, which it notices at its next report.
class TJobProgress
{
public:
    // A writer reports once per this many rows: often enough for a cancel
    // to take effect at once, rarely enough to cost nothing.
    static constexpr qint64 RowsPerReport = 4096;

    void start(qint64 total);
    // Records that `done` of the total are finished; false once the job is
    // cancelled, and the worker then stops.
    bool reach(qint64 done);

    qint64 done() const { return done_.load(std::memory_order_relaxed); }
    qint64 total() const { return total_.load(std::memory_order_relaxed); }

    void cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

    // The reason a writer gives when it stopped for a cancel.
    static QString cancelledReason();

private:
    std::atomic<qint64> done_{0};
    std::atomic<qint64> total_{0};
    std::atomic<bool> cancelled_{false};
};

// For the row loops of writers whose progress is optional: reports every
// RowsPerReport rows; false when the job was cancelled.
inline bool KeepGoing(TJobProgress* progress, qint64 done)
{
    return !progress || done % TJobProgress::RowsPerReport != 0 || progress->reach(done);
}

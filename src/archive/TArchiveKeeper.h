#pragma once

#include "archive/TArchive.h"
#include "archive/TArchiveLocation.h"
#include "archive/TArchiveQueue.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <mutex>

class QThread;
class QThreadPool;

// Keeps every loaded log in the archive on a thread of its own: storing a
// full log takes longer than a window may wait, and the archive's database
// connection belongs to the thread that opened it. Each log and note first
// goes into the archive's TArchiveQueue on disk (written on a thread of its
// own, in order), then is stored from there and removed: what the queue
// holds at start, a previous run's, is stored first. The archive is opened
// at start and again before an item while it cannot be, or after its
// server stopped answering or closed the connection (the item is tried once
// more over a new one); `unavailable` tells the reason once. While items
// wait, every `retryInterval` and with each new item the keeper tries again,
// and `waitingChanged` tells how many wait and why. Items queued before the
// keeper goes are tried first: its destructor waits for them as long as that
// takes, each archive call having a limit of its own, and finish() waits a
// given time only; what is still queued then is stored at the next start.
class TArchiveKeeper : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds DefaultRetryInterval = std::chrono::seconds(30);

    explicit TArchiveKeeper(const TArchiveLocation& location, QObject* parent = nullptr,
                            std::chrono::milliseconds retryInterval = DefaultRetryInterval);
    ~TArchiveKeeper() override;

    const TArchiveLocation& location() const { return location_; }
    // Stores the log's records under its label on the keeper's thread.
    void keep(const QString& label, const QByteArray& raw, const QString& origin);
    // Lets the logs still queued be stored, waiting for them at most `grace`:
    // empty when the keeper's work ended (what could not be stored stays
    // queued, as told), else the Russian line that names the logs still
    // unstored, to be stored at the next start, the keeper's thread left at work.
    QString finish(std::chrono::milliseconds grace);
    // Notes in the trail, after the logs queued before, what the user did
    // with the log of these bytes (under the entry that holds them, or the
    // label alone when none does) or with a logger (no entry). The moment
    // and the user are taken now.
    void noteLog(const QByteArray& raw, const QString& label, TArchiveEventKind kind, const QString& detail);
    void noteLogger(const QString& label, TArchiveEventKind kind, const QString& detail);
    // Looks up, after the logs queued before, when the newest log still kept
    // under the label was stored: answered by latestFound, or by nothing
    // when the archive cannot tell.
    void findLatest(const QString& label);

signals:
    void opened();
    void unavailable(const QString& reason);
    // The log was stored (added) or was already there (only the download
    // noted), under its label.
    void kept(qint64 entryId, bool added, const QString& label);
    // A log not stored, an event not noted or a queue file set aside: the
    // line for the user, naming which.
    void failed(const QString& reason);
    // storedAt is invalid when no log of the label is kept.
    void latestFound(const QString& label, const QDateTime& storedAt);
    // When what waits to be stored, or why, changed: how many logs and
    // notes wait; (0, 0, "") once they were all stored.
    void waitingChanged(int logs, int notes, const QString& reason);

private:
    class Worker;

    // Queued after every log still waiting, so none of them is lost.
    void closeWhenQueuedAreDone();

    // On the writer, one item at a time and in order: the item's file, then
    // the worker asked to store what waits.
    void writeQueued(const TQueuedItem& item);

    TArchiveLocation location_;
    TArchiveQueue queue_;
    QThreadPool* writer_;
    QThread* thread_;
    Worker* worker_;
    bool closing_ = false;
    // The labels of the logs kept in this run and not yet stored or refused.
    std::mutex pendingMutex_;
    QStringList pending_;
};

// The viewer's line while items wait to be stored: "Ожидают сохранения в
// архиве: 3 журнала (reason)"; once they were stored, that they were.
QString ArchiveWaitingText(int logs, int notes, const QString& reason);

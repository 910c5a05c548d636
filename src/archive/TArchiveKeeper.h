#pragma once

#include "archive/TArchive.h"
#include "archive/TArchiveLocation.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <mutex>

class QThread;

// Keeps every loaded log in the archive on a thread of its own: storing a
// full log takes longer than a window may wait, and the archive's database
// connection belongs to the thread that opened it. The archive is opened at
// start and again before a log while it cannot be, or after its server
// stopped answering and the connection was dropped; `unavailable` tells the
// reason once. Logs queued before the keeper goes are stored first: its
// destructor waits for them as long as that takes, each archive call having
// a limit of its own, and finish() waits a given time only.
class TArchiveKeeper : public QObject
{
    Q_OBJECT

public:
    explicit TArchiveKeeper(const TArchiveLocation& location, QObject* parent = nullptr);
    ~TArchiveKeeper() override;

    const TArchiveLocation& location() const { return location_; }
    // Stores the log's records under its label on the keeper's thread.
    void keep(const QString& label, const QByteArray& raw, const QString& origin);
    // Lets the logs still queued be stored, waiting for them at most `grace`:
    // empty when all were stored (or failed, as told), else the Russian line
    // that names those still unstored, the keeper's thread left at work.
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
    // A log not stored, or an event not noted.
    void failed(const QString& reason);
    // storedAt is invalid when no log of the label is kept.
    void latestFound(const QString& label, const QDateTime& storedAt);

private:
    class Worker;

    // Queued after every log still waiting, so none of them is lost.
    void closeWhenQueuedAreDone();

    TArchiveLocation location_;
    QThread* thread_;
    Worker* worker_;
    bool closing_ = false;
    // The labels of the logs queued and not yet stored or failed.
    std::mutex pendingMutex_;
    QStringList pending_;
};

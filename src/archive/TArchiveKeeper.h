#pragma once

#include "archive/TArchiveLocation.h"

#include <QObject>
#include <QString>

class QThread;

// Keeps every loaded log in the archive on a thread of its own: storing a
// full log takes longer than a window may wait, and the archive's database
// connection belongs to the thread that opened it. The archive is opened at
// start and again before a log while it cannot be; `unavailable` tells the
// reason once. Logs queued before the keeper goes are stored first.
class TArchiveKeeper : public QObject
{
    Q_OBJECT

public:
    explicit TArchiveKeeper(const TArchiveLocation& location, QObject* parent = nullptr);
    ~TArchiveKeeper() override;

    const TArchiveLocation& location() const { return location_; }
    // Stores the log's records under its label on the keeper's thread.
    void keep(const QString& label, const QByteArray& raw, const QString& origin);

signals:
    void opened();
    void unavailable(const QString& reason);
    // The log was stored (added) or was already there (only the download noted).
    void kept(qint64 entryId, bool added);
    void failed(const QString& reason);

private:
    class Worker;

    TArchiveLocation location_;
    QThread* thread_;
    Worker* worker_;
};

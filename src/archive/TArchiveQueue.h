#pragma once

#include "archive/TArchive.h"

#include <QLockFile>
#include <QString>
#include <QStringList>

#include <optional>

// What waits to be stored: a log, with when and by whom it was read, or a
// note of the trail about a log (by its bytes' SHA-256) or a logger.
struct TQueuedItem {
    enum class Kind { Log, Note };

    Kind kind = Kind::Log;
    QString label;
    QByteArray raw; // a log's bytes
    QString origin; // where a log came from
    QString sha256; // a note's log; empty for a note about a logger
    TArchiveEventKind event = TArchiveEventKind::Download;
    QString detail;
    TArchiveStamp stamp;
};

// The logs and notes waiting to be stored in one archive, a file each in a
// folder beside the user's settings, so that a program closed or killed
// meanwhile loses none: each file is written whole or not at all, named so
// that the names sort in the order the items came, and removed once stored.
// Programs sharing the folder take turns through its lock file. Files are
// added from one thread and taken from another.
class TArchiveQueue {
public:
    explicit TArchiveQueue(const QString& folder);

    // archive-queue/<the archive's own subfolder> in the folder of the user's
    // settings file: items meant for one archive never go into another.
    static QString folderOf(const TArchiveLocation& location);
    const QString& folder() const { return folder_; }

    // False, with the reason, when the item could not be written whole.
    bool add(const TQueuedItem& item, QString* error);
    // The waiting items' files, oldest first.
    QStringList waiting() const;
    static qsizetype logsAmong(const QStringList& files);
    // Nullopt, with the reason, for a file that cannot be read or is damaged.
    std::optional<TQueuedItem> read(const QString& file, QString* error) const;
    void remove(const QString& file);
    // Moves a damaged file into damaged/, out of the queue; false when it
    // could not be moved.
    bool setAside(const QString& file);

    // Whether this program may take items now: no other one holds the folder.
    bool lock();
    void unlock() { lock_.unlock(); }

private:
    QString folder_;
    QLockFile lock_;
    quint32 sequence_ = 0;
};

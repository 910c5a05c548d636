#pragma once

#include <QObject>
#include <QString>

#include <deque>
#include <map>

class TArchiveKeeper;

// Hands each finished day of the monitor's record to the archive as a log
// of its own, under "<logger label> (монитор)": listed beside the logger's
// downloads, never taken for the logger's own log. A day's file is removed
// only once the keeper tells that label's log kept. The keeper tells only
// the label, so one day per logger is given to it at a time and the next
// waits for that answer; a day the keeper could not store stays on disk for
// the next start.
class TMonitorDayKeeper : public QObject {
    Q_OBJECT
public:
    explicit TMonitorDayKeeper(TArchiveKeeper& keeper, QObject* parent = nullptr);

    static QString archiveLabel(const QString& loggerLabel);

    // Stores the day's file of the logger's record; a file already waiting is not given twice.
    void store(const QString& loggerLabel, const QString& path);

signals:
    // A day's file that could not be read or removed: the line for the user.
    void failed(const QString& reason);

private:
    void giveFirst(const QString& archiveLabel);
    void keptOne(const QString& archiveLabel);

    TArchiveKeeper& keeper_;
    // Per archive label, the files to store in order; the first one is with the keeper.
    std::map<QString, std::deque<QString>> waiting_;
};

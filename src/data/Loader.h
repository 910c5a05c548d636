#pragma once

#include "data/DumpLog.h"
#include "data/JobProgress.h"
#include "data/SourceList.h"
#include "data/VolumeSource.h"

#include <QDate>

#include <functional>
#include <memory>
#include <optional>

// The most records one load holds: a log memory is 262,144 records; a saved
// file may be longer, and what lies beyond this is left out and counted.
constexpr qint32 LoadRecordLimit = 4194304;

struct TLoadRequest {
    QString expectedLabel;
    bool testMode = false;
    int currentYear = QDate::currentDate().year();
    // The record count the last load left; kept by a load that asks the logger for none.
    qint32 recordCount = 0;
    // Asks the logger how many records the source holds (its used log memory
    // in bytes / 16); nullopt when the logger did not answer.
    std::function<std::optional<qint64>(const QString& sourcePath)> recordCountOf;
    // Shows the progress text; called only when the text changes.
    std::function<void(const QString&)> showProgress;
    // The worker's progress, when the load runs on one: told as records are
    // read, and a cancel stops the reading.
    TJobProgress* job = nullptr;
    // At most this many records of a source are read.
    qint64 recordLimit = LoadRecordLimit;
};

// What a load leaves: the accepted sources with their records, which a
// TSourceList adopts in one call, the record count, and the texts of the Sys
// page and the menu.
struct TLoadResult {
    std::vector<TLoadedSource> sources; // every accepted source, read or not
    // Sources were found but none could be read: what was loaded before stays.
    bool keepsPrevious = false;
    int currentYear = 0; // the year an empty load's list is read against
    qint32 recordCount = 0; // the count of the last source read; 150 in test mode

    QStringList driveRoots; // root path of every ready volume
    QStringList candidateNames; // base name of every candidate
    QStringList acceptedNames; // base name of every accepted candidate
    std::shared_ptr<const TDumpLog> dump;
    QString expectedLabel; // the label the volumes were compared with
    std::optional<QString> windowCaption; // test mode: the count the logger reported
    QString freeMemoryText; // "Свободно: N%"
    qint64 partialRecordBytes = 0; // bytes after the last whole record of an opened file
    qint64 leftOutRecords = 0; // records of the shown source beyond what one load holds
    qint64 recordLimit = LoadRecordLimit; // what one load held: the request's limit
    QString failure; // the message telling why an opened file was not shown; empty on success
};

// The whole load without widgets: discovery, and reading every accepted
// source, decoded and kept as read.
class TLoader
{
public:
    static constexpr qint32 TestModeRecordCount = 150;

    explicit TLoader(const VolumeSource& volumes);

    // A record count as one load can read it: 0..limit.
    static qint32 clampedRecordCount(qint64 count, qint64 limit = LoadRecordLimit);

    // Loads the logger's log from every drive labelled as the logger.
    TLoadResult loadFromDrives(const TLoadRequest& request);
    // Loads a saved log file of any name, every whole record of it, without
    // asking a logger. A file that cannot be read, or is no logger's log
    // (LogContentOf), keeps what was shown and the result says why.
    TLoadResult loadFile(const QString& path, const TLoadRequest& request);
    // Loads a log kept elsewhere (the archive) from its records' bytes, as a
    // file is loaded; the source is named by `label`.
    TLoadResult loadRecords(const QString& label, const QByteArray& raw, const TLoadRequest& request);

private:
    TLoadResult loadSources(const QList<TSourceCandidate>& accepted, const TLoadRequest& request,
                            TLoadResult result);
    // Reads one source and decodes its valid records;
    // no records (with a dump line saying why) when it cannot be used.
    TLoadedSource loadSource(const TSourceCandidate& source, const TLoadRequest& request, TLoadResult& result,
                             TDumpLog& dump);
    // A file without a record written leaves what was shown, and `failure` says so.
    static TLoadResult refusedIfEmpty(TLoadResult result, const QString& failure, const TLoadRequest& request);
    // What was shown stays, the record count the last load left too, and `failure` says why.
    static TLoadResult refused(TLoadResult result, const QString& failure, const TLoadRequest& request);

    const VolumeSource& volumes_;
};

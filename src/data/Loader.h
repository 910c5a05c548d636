#pragma once

#include "data/DumpLog.h"
#include "data/MeasurementStore.h"
#include "data/VolumeSource.h"

#include <QDate>

#include <functional>
#include <memory>
#include <optional>

struct TLoadRequest {
    QString expectedLabel;
    bool testMode = false;
    int currentYear = QDate::currentDate().year();
    // Asks the logger how many records the source holds (its used log memory
    // in bytes / 16); nullopt when the logger did not answer.
    std::function<std::optional<qint64>(const QString& sourcePath)> recordCountOf;
    // Shows the progress text; called only when the text changes.
    std::function<void(const QString&)> showProgress;
};

// What a load leaves for the Sys page and the menu.
struct TLoadReport {
    QStringList memoDisc; // root path of every ready volume
    QStringList memoFile; // base name of every candidate
    QStringList memoFileRes; // base name of every accepted candidate
    std::shared_ptr<const TDumpLog> memo4;
    QString expectedLabel; // the label the volumes were compared with
    std::optional<QString> windowCaption; // test mode: the count the logger reported
    QString freeMemoryText; // "Свободно: N%"
    qint64 partialRecordBytes = 0; // bytes after the last whole record of an opened file
    QString failure; // the message telling why an opened file was not shown; empty on success
};

// The whole load without widgets: discovery, reading every accepted source,
// and handing the shown source (the first one that could be read) to the
// store. The store's rows change only at the end, all at once.
class TLoader
{
public:
    static constexpr qint32 TestModeRecordCount = 150;

    TLoader(TMeasurementStore& store, const VolumeSource& volumes);

    TLoadReport GoClick(const TLoadRequest& request);
    // Loads a saved log file of any name as the shown source, every whole
    // record of it, without asking a logger. A file that cannot be read, or
    // holds no valid record, leaves the store as it was and the report says why.
    TLoadReport OpenFile(const QString& path, const TLoadRequest& request);

private:
    struct TSourcesRead {
        std::vector<TLoadedSource> sources; // one per accepted source, in order
        std::shared_ptr<TDumpLog> dump;
    };
    // Reads every accepted source; the store's rows do not change yet.
    TSourcesRead readSources(const QList<TSourceCandidate>& accepted, const TLoadRequest& request,
                             TLoadReport& report);
    // Hands what was read to the store, unless sources were found and none
    // of them could be read.
    void keepSources(const QList<TSourceCandidate>& candidates, const QList<TSourceCandidate>& accepted,
                     TSourcesRead read, const TLoadRequest& request, TLoadReport& report);
    struct TSourceRead {
        std::shared_ptr<TRecordList> records;
        qint64 recordsRead = 0;
    };
    // Reads one source into the raw buffer and decodes its valid records;
    // no records (with a dump line saying why) when it cannot be used.
    TSourceRead loadSource(const TSourceCandidate& source,
                                                           const TLoadRequest& request, TLoadReport& report,
                                                           TDumpLog& dump);

    TMeasurementStore& store_;
    const VolumeSource& volumes_;
};

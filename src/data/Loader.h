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

private:
    // Reads one source into the raw buffer and decodes its valid records;
    // null (with a dump line saying why) when it cannot be used.
    std::shared_ptr<TRecordList> loadSource(const TSourceCandidate& source,
                                                           const TLoadRequest& request, TLoadReport& report,
                                                           TDumpLog& dump);

    TMeasurementStore& store_;
    const VolumeSource& volumes_;
};

#pragma once

#include "data/FolderVolumeSource.h"
#include "data/Loader.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"

#include "app/CommandLine.h"

#include <QString>
#include <QTextStream>

// The rows of a saved log as the program reads it, for checking what an export wrote.
inline qint64 rowsOf(const QString& path)
{
    TMeasurementStore store;
    const FolderVolumeSource noVolumes;
    TLoadResult result = TLoader(noVolumes).loadFile(path, TLoadRequest());
    TSourceList(store).adopt(result);
    return store.DataRowCount();
}

// A log `extra` records longer than a load of `recordLimit` records holds, as
// two logs joined into one file would be.
inline QByteArray logLongerThan(qint64 recordLimit, qint64 extra)
{
    const qint64 size = (recordLimit + extra) * qint64(sizeof(TLogRecord));
    const QByteArray records = LogGenerator(5).generate(1000, TLogShape::Typical, QDateTime(QDate(2024, 6, 1), QTime(6, 0)));
    QByteArray bytes;
    bytes.reserve(size);
    while (bytes.size() < size)
        bytes += records;
    bytes.truncate(size);
    return bytes;
}

// What a verb of the program answers, run in this process with a load of at
// most `recordLimit` records, so that a long log needs no 64 MB file.
struct TVerbRun {
    int exitCode;
    QString errors;
};
template <typename Verb>
TVerbRun runWithRecordLimit(const QStringList& arguments, qint64 recordLimit, Verb verb)
{
    CommandLine commandLine = CommandLine::parse(QStringList{QStringLiteral("korvi-monitor")} + arguments);
    commandLine.recordLimit = recordLimit;
    QString errors;
    QTextStream stream(&errors);
    const int exitCode = verb(commandLine, stream);
    stream.flush();
    return {exitCode, errors};
}

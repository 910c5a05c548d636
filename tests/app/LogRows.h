#pragma once

#include "data/FolderVolumeSource.h"
#include "data/Loader.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/RawRecordBuffer.h"
#include "data/SourceList.h"

#include <QString>

// The rows of a saved log as the program reads it, for checking what an export wrote.
inline qint64 rowsOf(const QString& path)
{
    TMeasurementStore store;
    const FolderVolumeSource noVolumes;
    TLoadResult result = TLoader(noVolumes).loadFile(path, TLoadRequest());
    TSourceList(store).adopt(result);
    return store.DataRowCount();
}

// A log `extra` records longer than one load holds, as two logs joined into one file would be.
inline QByteArray logLongerThanOneLoad(qint64 extra)
{
    const qint64 size = (TRawRecordBuffer::Capacity + extra) * qint64(sizeof(TLogRecord));
    const QByteArray records = LogGenerator(5).generate(1000, TLogShape::Typical, QDateTime(QDate(2024, 6, 1), QTime(6, 0)));
    QByteArray bytes;
    bytes.reserve(size);
    while (bytes.size() < size)
        bytes += records;
    bytes.truncate(size);
    return bytes;
}

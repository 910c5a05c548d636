#include "data/LogExport.h"

#include "data/MeasurementStore.h"
#include "data/SourceList.h"
#include "data/Timestamp.h"

#include <QIODevice>

bool WriteRawLog(const TSourceList& sources, QIODevice& device, QString* error)
{
    const std::span<const TLogRecord> records = sources.shownRawRecords();
    const qint64 size = qint64(records.size_bytes());
    if (device.write(reinterpret_cast<const char*>(records.data()), size) == size)
        return true;
    if (error)
        *error = device.errorString();
    return false;
}

QString ExportFileName(const QString& stem, const TMeasurementStore& store, const QString& extension)
{
    if (store.DataRowCount() == 0)
        return stem + QLatin1Char('.') + extension;
    const QString first = DateOf(store.firstTimestamp()).toString(Qt::ISODate);
    const QString last = DateOf(store.lastTimestamp()).toString(Qt::ISODate);
    return QStringLiteral("%1_%2_%3.%4").arg(stem, first, last, extension);
}

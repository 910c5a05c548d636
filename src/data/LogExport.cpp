#include "data/LogExport.h"

#include "data/MeasurementStore.h"
#include "data/SourceList.h"
#include "data/Timestamp.h"

#include <QIODevice>

bool WriteRawLog(const TSourceList& sources, QIODevice& device, QString* error)
{
    const std::span<const TLogRecord> records = sources.shownRawRecords();
    return WriteRawBytes(QByteArrayView(reinterpret_cast<const char*>(records.data()), qsizetype(records.size_bytes())),
                         device, error);
}

bool WriteRawBytes(QByteArrayView bytes, QIODevice& device, QString* error)
{
    if (device.write(bytes.data(), bytes.size()) == bytes.size())
        return true;
    if (error)
        *error = device.errorString();
    return false;
}

QString ExportFileName(const QString& stem, const TMeasurementStore& store, const QString& extension)
{
    if (store.DataRowCount() == 0)
        return stem + QLatin1Char('.') + extension;
    return ExportFileName(stem, store.firstTimestamp(), store.lastTimestamp(), extension);
}

QString ExportFileName(const QString& stem, qint64 first, qint64 last, const QString& extension)
{
    return QStringLiteral("%1_%2_%3.%4")
        .arg(stem, DateOf(first).toString(Qt::ISODate), DateOf(last).toString(Qt::ISODate), extension);
}

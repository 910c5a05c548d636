#include "data/LogExport.h"

#include "data/JobProgress.h"
#include "data/MeasurementStore.h"
#include "data/Timestamp.h"

#include <QIODevice>

#include <algorithm>

bool WriteRawLog(std::span<const TLogRecord> records, QIODevice& device, QString* error, TJobProgress* progress)
{
    return WriteRawBytes(QByteArrayView(reinterpret_cast<const char*>(records.data()), qsizetype(records.size_bytes())),
                         device, error, progress);
}

bool WriteRawBytes(QByteArrayView bytes, QIODevice& device, QString* error, TJobProgress* progress)
{
    constexpr qsizetype RecordSize = qsizetype(sizeof(TLogRecord));
    constexpr qsizetype ChunkSize = TJobProgress::RowsPerReport * RecordSize;
    if (progress)
        progress->start(bytes.size() / RecordSize);
    for (qsizetype first = 0; first < bytes.size(); first += ChunkSize) {
        const QByteArrayView chunk = bytes.sliced(first, std::min(ChunkSize, bytes.size() - first));
        if (device.write(chunk.data(), chunk.size()) != chunk.size()) {
            if (error)
                *error = device.errorString();
            return false;
        }
        if (progress && !progress->reach((first + chunk.size()) / RecordSize)) {
            if (error)
                *error = TJobProgress::cancelledReason();
            return false;
        }
    }
    return true;
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

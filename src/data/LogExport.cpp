#include "data/LogExport.h"

#include "data/JobProgress.h"
#include "data/MeasurementStore.h"
#include "data/Timestamp.h"

#include <QIODevice>

#include <algorithm>

bool WriteRawLog(std::span<const TLogRecord> records, QIODevice& device, QString* error, TJobProgress* progress)
{
    if (progress)
        progress->start(qint64(records.size()));
    for (size_t first = 0; first < records.size(); first += TJobProgress::RowsPerReport) {
        const std::span<const TLogRecord> chunk = records.subspan(first).first(
            std::min<size_t>(TJobProgress::RowsPerReport, records.size() - first));
        if (!WriteRawBytes(QByteArrayView(reinterpret_cast<const char*>(chunk.data()), qsizetype(chunk.size_bytes())),
                           device, error))
            return false;
        if (progress && !progress->reach(qint64(first + chunk.size()))) {
            if (error)
                *error = TJobProgress::cancelledReason();
            return false;
        }
    }
    return true;
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

#include "app/SimulatedPlatform.h"

#include "data/FolderVolumeSource.h"
#include "data/LogGenerator.h"
#include "data/LogRecord.h"
#include "data/Timestamp.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"

#include <QDateTime>
#include <QFile>

#include <cstring>
#include <stdexcept>

namespace {

// Several days of records at the generator's changing intervals.
constexpr qint64 GeneratedRecords = 6000;

QByteArray readLog(const QString& logFile)
{
    QFile file(logFile);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("Не удалось открыть %1: %2")
                                     .arg(logFile, file.errorString())
                                     .toStdString());
    return file.readAll();
}

// A log whose last record was made a moment ago, as a logger's would be:
// the generator is deterministic, so a second run shifted by the span of
// the first ends now.
QByteArray generatedLog()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QByteArray trial = LogGenerator().generate(GeneratedRecords, TLogShape::Typical, now);
    TLogRecord last;
    std::memcpy(&last, trial.constData() + trial.size() - qsizetype(sizeof last), sizeof last);
    const TExpandedRecord expanded = ExpandRecord(last, now.date().year());
    const QDate day = now.date();
    const QTime time = now.time();
    const qint64 nowSeconds =
        TimestampSeconds(day.year(), day.month(), day.day(), time.hour(), time.minute(), time.second());
    const qint64 spanSeconds = expanded.rowTime(expanded.repeatCount - 1) - nowSeconds;
    return LogGenerator().generate(GeneratedRecords, TLogShape::Typical, now.addSecs(-spanSeconds));
}

}  // namespace

SimulatedPlatform::SimulatedPlatform(const QString& logFile)
{
    if (!Drive.isValid())
        throw std::runtime_error(Drive.errorString().toStdString());
    Logger = std::make_shared<SimulatedLogger>(Drive.path(), logFile.isEmpty() ? generatedLog() : readLog(logFile));

    auto backend = std::make_unique<SimulatedBackend>(SimulatedBackend::TimeMode::Real);
    backend->plug(Logger);
    auto volumes = std::make_unique<FolderVolumeSource>();
    volumes->addFolder(Drive.path(), Logger->volumeLabel());
    Platform = {std::move(backend), std::move(volumes)};
}

SimulatedPlatform::~SimulatedPlatform() = default;

TPlatform SimulatedPlatform::TakePlatform()
{
    return std::move(Platform);
}

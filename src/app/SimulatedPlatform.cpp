#include "app/SimulatedPlatform.h"

#include "data/FolderVolumeSource.h"
#include "data/LoadTexts.h"
#include "data/LogGenerator.h"
#include "data/LogRecord.h"
#include "data/ReadSource.h"
#include "data/Timestamp.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

#include <cstring>
#include <stdexcept>

namespace {

// Several days of records at the generator's changing intervals.
constexpr qint64 GeneratedRecords = 6000;
// A script of a year's steps, a minute apart, is far below this.
constexpr qint64 ReadingScriptBytes = 64 << 20;

[[noreturn]] void refuse(const QString& file, const QString& reason)
{
    throw std::runtime_error(QStringLiteral("Не удалось открыть %1: %2").arg(file, reason).toStdString());
}

// A logger holds one log memory; a pipe or a device could pour out bytes without end.
QByteArray readLog(const QString& logFile)
{
    QString reason;
    const std::optional<QByteArray> log = ReadFileBytes(logFile, &reason, DeviceLogMemoryBytes);
    if (!log)
        refuse(logFile, reason);
    return *log;
}

TReadingScript readScript(const QString& readingsFile)
{
    QString reason;
    const std::optional<QByteArray> text = ReadFileBytes(readingsFile, &reason, ReadingScriptBytes);
    if (!text)
        refuse(readingsFile, reason);
    const std::optional<TReadingScript> script = ParseReadingScript(QString::fromUtf8(*text), &reason);
    if (!script)
        refuse(readingsFile, reason);
    return *script;
}

QString lockPath(const QString& folder)
{
    return folder + QStringLiteral(".lock");
}

// Drive folders whose run is gone: their lock is stale, or there is none.
void removeStaleDrives(const QDir& temporary)
{
    const QStringList folders =
        temporary.entryList({QString::fromLatin1(SimulatedPlatform::DrivePrefix) + QLatin1Char('*')}, QDir::Dirs);
    for (const QString& name : folders) {
        const QString folder = temporary.filePath(name);
        QLockFile lock(lockPath(folder));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0)) {
            QDir(folder).removeRecursively();
            lock.unlock();
        }
    }
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

SimulatedPlatform::SimulatedPlatform(const QString& logFile, const QString& readingsFile)
    : drive_(QDir(QDir::tempPath())
                .filePath(QString::fromLatin1(DrivePrefix) + QString::number(QCoreApplication::applicationPid())))
    , driveLock_(lockPath(drive_))
{
    const QByteArray log = logFile.isEmpty() ? generatedLog() : readLog(logFile);
    const TReadingScript script = readingsFile.isEmpty() ? TReadingScript() : readScript(readingsFile);
    // Locked before the folder exists, so no other run takes it for stale.
    driveLock_.setStaleLockTime(0);
    if (!driveLock_.tryLock(0))
        throw std::runtime_error(QStringLiteral("Не удалось занять папку %1").arg(drive_).toStdString());
    removeStaleDrives(QDir(QDir::tempPath()));
    if (!QDir().mkpath(drive_))
        throw std::runtime_error(QStringLiteral("Не удалось создать папку %1").arg(drive_).toStdString());
    logger_ = std::make_shared<SimulatedLogger>(drive_, log);

    auto backend = std::make_unique<SimulatedBackend>(SimulatedBackend::TimeMode::Real);
    logger_->setReadingScript(script, backend->nowMs());
    backend->plug(logger_);
    auto volumes = std::make_unique<FolderVolumeSource>();
    volumes->addFolder(drive_, logger_->volumeLabel());
    platform_ = {std::move(backend), std::move(volumes)};
}

SimulatedPlatform::~SimulatedPlatform()
{
    if (driveLock_.isLocked())
        QDir(drive_).removeRecursively();
}

TPlatform SimulatedPlatform::takePlatform()
{
    return std::move(platform_);
}

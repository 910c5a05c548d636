#include "app/SimulatedPlatform.h"

#include "data/FolderVolumeSource.h"
#include "data/LogGenerator.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"

#include <QDateTime>
#include <QFile>

#include <stdexcept>

namespace {

// About a week of records at the generator's changing intervals.
constexpr qint64 GeneratedRecords = 6000;
constexpr int GeneratedDays = 7;

QByteArray readLog(const QString& logFile)
{
    QFile file(logFile);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("Не удалось открыть %1: %2")
                                     .arg(logFile, file.errorString())
                                     .toStdString());
    return file.readAll();
}

QByteArray generatedLog()
{
    const QDateTime start = QDateTime::currentDateTime().addDays(-GeneratedDays);
    return LogGenerator().generate(GeneratedRecords, TLogShape::Typical, start);
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

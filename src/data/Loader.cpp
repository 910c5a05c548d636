#include "data/Loader.h"

#include "data/FileSave.h"
#include "data/LoadTexts.h"
#include "data/ReadSource.h"
#include "data/SourceDiscovery.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

QStringList baseNames(const QList<TSourceCandidate>& candidates)
{
    QStringList names;
    for (const TSourceCandidate& candidate : candidates)
        names.append(candidate.baseName);
    return names;
}

} // namespace

TLoader::TLoader(const VolumeSource& volumes)
    : volumes_(volumes)
{
}

qint32 TLoader::clampedRecordCount(qint64 count)
{
    return qint32(std::clamp<qint64>(count, 0, TRawRecordBuffer::Capacity));
}

TLoadResult TLoader::loadFromDrives(const TLoadRequest& request)
{
    TLoadResult result;
    const QList<TVolume> drives = ScanDrives(volumes_);
    for (const TVolume& drive : drives)
        result.driveRoots.append(drive.rootPath);
    const QList<TSourceCandidate> candidates = FindCandidates(drives);
    result.candidateNames = baseNames(candidates);
    result.expectedLabel = ExpectedVolumeLabel(request.expectedLabel, request.testMode);
    const QList<TSourceCandidate> accepted = MatchVolumeLabels(candidates, request.expectedLabel, request.testMode);
    return loadSources(accepted, request, std::move(result));
}

TLoadResult TLoader::loadFile(const QString& path, const TLoadRequest& request)
{
    const QFileInfo file(path);
    TLoadResult result;
    QFile probe(path);
    if (const QString reason = OpenRegularFile(probe); !reason.isEmpty()) {
        result.failure = QStringLiteral("Не удалось открыть %1: %2").arg(path, reason);
        result.keepsPrevious = true;
        result.recordCount = request.recordCount;
        return result;
    }
    const TSourceCandidate source{file.completeBaseName(), path, TVolume{file.absolutePath(), QString(), true}};
    TLoadRequest fromFile = request;
    fromFile.testMode = false;
    fromFile.recordCountOf = [](const QString& sourcePath) {
        return std::optional<qint64>(QFileInfo(sourcePath).size() / qint64(sizeof(TLogRecord)));
    };
    result.candidateNames = baseNames({source});
    result.expectedLabel = request.expectedLabel;
    result = loadSources({source}, fromFile, std::move(result));
    // A picture, a text or an empty file holds no record: what was shown stays.
    if (const TLoadedSource& opened = result.sources.front(); opened.records && opened.records->isEmpty()) {
        result.failure = QStringLiteral("В файле %1 нет записей журнала прибора").arg(file.fileName());
        result.keepsPrevious = true;
        result.recordCount = request.recordCount;
        return result;
    }
    if (const qint64 partial = file.size() % qint64(sizeof(TLogRecord)); partial != 0)
        result.partialRecordBytes = partial;
    return result;
}

TLoadResult TLoader::loadSources(const QList<TSourceCandidate>& accepted, const TLoadRequest& request,
                                 TLoadResult result)
{
    result.acceptedNames = baseNames(accepted);
    result.currentYear = request.currentYear;
    result.recordCount = request.recordCount;

    auto dump = std::make_shared<TDumpLog>();
    // Every source keeps its records, decoded and as read, so another one can
    // be shown, or saved unchanged, without asking the logger again.
    result.sources.reserve(size_t(accepted.size()));
    for (const TSourceCandidate& source : accepted)
        result.sources.push_back(loadSource(source, request, result, *dump));

    // Sources were found but none could be read: the logger failed, not the
    // log, so what was loaded before stays whole rather than giving way to nothing.
    const bool noneRead = std::none_of(result.sources.begin(), result.sources.end(),
                                       [](const TLoadedSource& source) { return source.records != nullptr; });
    if (!accepted.isEmpty() && noneRead) {
        dump->addLine(QStringLiteral("Ни один источник не прочитан, прежние данные сохранены"));
        result.keepsPrevious = true;
    }
    result.dump = std::move(dump);
    result.freeMemoryText = FreeMemoryText(result.recordCount);
    return result;
}

TLoadedSource TLoader::loadSource(const TSourceCandidate& source, const TLoadRequest& request, TLoadResult& result,
                                  TDumpLog& dump)
{
    TLoadProgress progress(request.showProgress);
    progress.start();
    const std::optional<qint64> reported = request.recordCountOf ? request.recordCountOf(source.filePath)
                                                                 : std::nullopt;
    dump.addLine(QStringLiteral("> ") + source.filePath);
    if (!reported) {
        dump.addLine(QStringLiteral("Регистратор не ответил, источник пропущен"));
        return {source, nullptr, {}};
    }
    result.recordCount = clampedRecordCount(*reported);
    if (request.testMode) {
        result.windowCaption = QString::number(*reported);
        result.recordCount = TestModeRecordCount;
    }

    progress.setRecordCount(result.recordCount);
    const auto raw = buffer_.records();
    // The buffer holds at most its capacity; the reader tells what that leaves out.
    const qint64 wanted = request.testMode ? TestModeRecordCount : *reported;
    const TReadResult read = ReadSource(source.filePath, wanted, raw,
                                        [&progress](qint64 k) { progress.recordReached(k); });
    if (!read.opened) {
        dump.addLine(QStringLiteral("Не удалось открыть файл: ") + read.error);
        return {source, nullptr, {}};
    }
    if (read.recordsLeftOut > 0) {
        dump.addLine(LeftOutRecordsText(read.recordsLeftOut, TRawRecordBuffer::Capacity));
        // The first source read is the shown one.
        if (std::none_of(result.sources.begin(), result.sources.end(),
                         [](const TLoadedSource& earlier) { return earlier.records != nullptr; }))
            result.leftOutRecords = read.recordsLeftOut;
    }

    auto records = std::make_shared<TRecordList>(request.currentYear);
    records->reserve(read.recordsRead);
    for (qint64 k = 0; k < read.recordsRead; ++k)
        records->appendIfValid(raw[size_t(k)]);
    dump.addRecords(records);
    const auto kept = raw.first(size_t(read.recordsRead));
    return {source, std::move(records), std::vector<TLogRecord>(kept.begin(), kept.end())};
}

#include "data/Loader.h"

#include "data/FileSave.h"
#include "data/LoadTexts.h"
#include "data/LoggerLog.h"
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

// The source with its valid records decoded and every record kept as read.
TLoadedSource keptSource(const TSourceCandidate& source, TRawRecords raw, std::shared_ptr<const TRecordList> records,
                         TDumpLog& dump)
{
    dump.addRecords(records);
    return {source, std::move(records), std::move(raw)};
}

} // namespace

TLoader::TLoader(const VolumeSource& volumes)
    : volumes_(volumes)
{
}

qint32 TLoader::clampedRecordCount(qint64 count, qint64 limit)
{
    return qint32(std::clamp<qint64>(count, 0, limit));
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
    if (const QString reason = OpenRegularFile(probe); !reason.isEmpty())
        return refused(std::move(result), QStringLiteral("Не удалось открыть %1: %2").arg(path, reason), request);
    const TSourceCandidate source{file.completeBaseName(), path, TVolume{file.absolutePath(), QString(), true}};
    TLoadRequest fromFile = request;
    fromFile.testMode = false;
    fromFile.recordCountOf = [](const QString& sourcePath) {
        return std::optional<qint64>(QFileInfo(sourcePath).size() / qint64(sizeof(TLogRecord)));
    };
    result.candidateNames = baseNames({source});
    result.expectedLabel = request.expectedLabel;
    result = refusedIfEmpty(loadSources({source}, fromFile, std::move(result)), NotALogText(file.fileName()),
                            request);
    if (const qint64 partial = file.size() % qint64(sizeof(TLogRecord)); partial != 0 && result.failure.isEmpty())
        result.partialRecordBytes = partial;
    return result;
}

TLoadResult TLoader::loadRecords(const QString& label, const QByteArray& raw, const TLoadRequest& request)
{
    const TSourceCandidate source{label, label, TVolume{QString(), label, true}};
    TLoadResult result;
    result.candidateNames = baseNames({source});
    result.acceptedNames = result.candidateNames;
    result.expectedLabel = request.expectedLabel;
    result.currentYear = request.currentYear;
    auto dump = std::make_shared<TDumpLog>();
    dump->addLine(QStringLiteral("> ") + label);
    const qint64 count = raw.size() / qint64(sizeof(TLogRecord));
    result.recordCount = clampedRecordCount(count, request.recordLimit);
    result.recordLimit = request.recordLimit;
    // Held like a file's: at most the load's record limit.
    const qint64 kept = result.recordCount;
    if (count > kept) {
        result.leftOutRecords = count - kept;
        dump->addLine(LeftOutRecordsText(result.leftOutRecords, request.recordLimit));
    }
    // The archive's bytes are shared as they are when all of them are kept.
    TRawRecords records = TRawRecords::firstOf(raw, kept);
    auto decoded = std::make_shared<const TRecordList>(records, request.currentYear);
    const bool isLog = LogContentOf(records, *decoded) == TLogContent::Log;
    result.sources.push_back(keptSource(source, std::move(records), std::move(decoded), *dump));
    result.dump = std::move(dump);
    result.freeMemoryText = FreeMemoryText(result.recordCount);
    if (!isLog)
        return refused(std::move(result),
                       QStringLiteral("В журнале %1 из архива нет записей, которые можно показать").arg(label), request);
    return result;
}

TLoadResult TLoader::refusedIfEmpty(TLoadResult result, const QString& failure, const TLoadRequest& request)
{
    // A file without a record written, such as an empty one: what was shown stays.
    if (const TLoadedSource& opened = result.sources.front(); opened.records && opened.records->isEmpty())
        return refused(std::move(result), failure, request);
    return result;
}

TLoadResult TLoader::refused(TLoadResult result, const QString& failure, const TLoadRequest& request)
{
    result.failure = failure;
    result.keepsPrevious = true;
    result.recordCount = request.recordCount;
    return result;
}

TLoadResult TLoader::loadSources(const QList<TSourceCandidate>& accepted, const TLoadRequest& request,
                                 TLoadResult result)
{
    result.acceptedNames = baseNames(accepted);
    result.currentYear = request.currentYear;
    result.recordCount = request.recordCount;
    result.recordLimit = request.recordLimit;

    auto dump = std::make_shared<TDumpLog>();
    // Every source keeps its records, decoded and as read, so another one can
    // be shown, or saved unchanged, without asking the logger again.
    result.sources.reserve(size_t(accepted.size()));
    for (const TSourceCandidate& source : accepted) {
        result.sources.push_back(loadSource(source, request, result, *dump));
        if (!result.failure.isEmpty())
            break;
    }

    // Sources were found but none could be read: the logger failed, not the
    // log, so what was loaded before stays whole rather than giving way to nothing.
    const bool noneRead = std::none_of(result.sources.begin(), result.sources.end(),
                                       [](const TLoadedSource& source) { return source.records != nullptr; });
    if (!result.failure.isEmpty() || (!accepted.isEmpty() && noneRead)) {
        dump->addLine(QStringLiteral("Ни один источник не прочитан, прежние данные сохранены"));
        result.keepsPrevious = true;
    }
    if (!result.failure.isEmpty())
        result.recordCount = request.recordCount;
    result.dump = std::move(dump);
    result.freeMemoryText = FreeMemoryText(result.recordCount);
    return result;
}

TLoadedSource TLoader::loadSource(const TSourceCandidate& source, const TLoadRequest& request, TLoadResult& result,
                                  TDumpLog& dump)
{
    // A cancelled load asks the logger nothing more: the UI thread that
    // answers may be waiting for this worker to end.
    if (request.job && request.job->cancelled())
        return {source, nullptr, {}};
    TLoadProgress progress(request.showProgress);
    progress.start();
    const std::optional<qint64> reported = request.recordCountOf ? request.recordCountOf(source.filePath)
                                                                 : std::nullopt;
    dump.addLine(QStringLiteral("> ") + source.filePath);
    if (!reported) {
        dump.addLine(QStringLiteral("Регистратор не ответил, источник пропущен"));
        return {source, nullptr, {}};
    }
    result.recordCount = clampedRecordCount(*reported, request.recordLimit);
    if (request.testMode) {
        result.windowCaption = QString::number(*reported);
        result.recordCount = TestModeRecordCount;
    }

    progress.setRecordCount(result.recordCount);
    const qint64 wanted = request.testMode ? TestModeRecordCount : *reported;
    if (request.job)
        request.job->start(std::min(wanted, request.recordLimit));
    TReadResult read = ReadSource(source.filePath, wanted, request.recordLimit, [&progress, &request](qint64 k) {
        progress.recordReached(k);
        return !request.job || request.job->reach(k);
    });
    if (!read.opened) {
        dump.addLine(QStringLiteral("Не удалось открыть файл: ") + read.error);
        return {source, nullptr, {}};
    }
    // Part of a log is never shown, kept or exported as the whole of it.
    if (!read.error.isEmpty()) {
        dump.addLine(QStringLiteral("Не удалось прочитать файл: ") + read.error);
        result.failure = QStringLiteral("Не удалось прочитать %1: %2").arg(source.filePath, read.error);
        return {source, nullptr, {}};
    }
    // A logger's memory with nothing written is its empty log; anything else
    // must be a log, or a picture or a text is shown as one.
    auto decoded = std::make_shared<const TRecordList>(read.records, request.currentYear);
    if (LogContentOf(read.records, *decoded) == TLogContent::NotALog) {
        result.failure = NotALogText(QFileInfo(source.filePath).fileName());
        dump.addLine(result.failure);
        return {source, nullptr, {}};
    }
    if (read.recordsLeftOut > 0) {
        dump.addLine(LeftOutRecordsText(read.recordsLeftOut, request.recordLimit));
        // The first source read is the shown one.
        if (std::none_of(result.sources.begin(), result.sources.end(),
                         [](const TLoadedSource& earlier) { return earlier.records != nullptr; }))
            result.leftOutRecords = read.recordsLeftOut;
    }

    return keptSource(source, std::move(read.records), std::move(decoded), dump);
}

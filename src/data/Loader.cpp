#include "data/Loader.h"

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

TLoader::TLoader(TMeasurementStore& store, const VolumeSource& volumes)
    : store_(store)
    , volumes_(volumes)
{
}

TLoadReport TLoader::GoClick(const TLoadRequest& request)
{
    TLoadReport report;
    const QList<TVolume> drives = ScanDrives(volumes_);
    for (const TVolume& drive : drives)
        report.memoDisc.append(drive.rootPath);
    const QList<TSourceCandidate> candidates = FindCandidates(drives);
    report.memoFile = baseNames(candidates);
    report.expectedLabel = request.testMode ? TestModeLabel : request.expectedLabel;
    const QList<TSourceCandidate> accepted = MatchVolumeLabels(candidates, request.expectedLabel, request.testMode);
    keepSources(candidates, accepted, readSources(accepted, request, report), request, report);
    return report;
}

TLoadReport TLoader::OpenFile(const QString& path, const TLoadRequest& request)
{
    const QFileInfo file(path);
    TLoadReport report;
    if (QFile probe(path); !file.isFile() || !probe.open(QIODevice::ReadOnly)) {
        const QString reason = file.exists() && !file.isFile() ? QStringLiteral("это не файл") : probe.errorString();
        report.failure = QStringLiteral("Не удалось открыть %1: %2").arg(path, reason);
        return report;
    }
    const TSourceCandidate source{file.completeBaseName(), path, TVolume{file.absolutePath(), QString(), true}};
    TLoadRequest fromFile = request;
    fromFile.testMode = false;
    fromFile.recordCountOf = [](const QString& sourcePath) {
        return std::optional<qint64>(QFileInfo(sourcePath).size() / qint64(sizeof(TLogRecord)));
    };
    report.memoFile = baseNames({source});
    report.expectedLabel = request.expectedLabel;
    const qint32 shownRecordCount = store_.RecordCount();
    TSourcesRead read = readSources({source}, fromFile, report);
    // A picture, a text or an empty file holds no record: what was shown stays.
    if (const TLoadedSource& opened = read.sources.front(); opened.records && opened.records->isEmpty()) {
        store_.setRecordCount(shownRecordCount);
        report.failure = QStringLiteral("В файле %1 нет записей журнала прибора").arg(file.fileName());
        return report;
    }
    keepSources({source}, {source}, std::move(read), fromFile, report);
    if (const qint64 partial = file.size() % qint64(sizeof(TLogRecord)); partial != 0)
        report.partialRecordBytes = partial;
    return report;
}

TLoader::TSourcesRead TLoader::readSources(const QList<TSourceCandidate>& accepted, const TLoadRequest& request,
                                           TLoadReport& report)
{
    report.memoFileRes = baseNames(accepted);

    auto dump = std::make_shared<TDumpLog>();
    // Every source keeps its records, decoded and as read, so another one can
    // be shown, or saved unchanged, without asking the logger again.
    std::vector<TLoadedSource> loaded;
    loaded.reserve(size_t(accepted.size()));
    for (const TSourceCandidate& source : accepted) {
        TSourceRead read = loadSource(source, request, report, *dump);
        TLoadedSource& kept = loaded.emplace_back(TLoadedSource{source, std::move(read.records), {}});
        if (kept.records) {
            const auto raw = store_.RawRecords().first(size_t(read.recordsRead));
            kept.rawRecords.assign(raw.begin(), raw.end());
        }
    }
    return {std::move(loaded), std::move(dump)};
}

void TLoader::keepSources(const QList<TSourceCandidate>& candidates, const QList<TSourceCandidate>& accepted,
                          TSourcesRead read, const TLoadRequest& request, TLoadReport& report)
{
    std::vector<TLoadedSource>& loaded = read.sources;
    // Sources were found but none could be read: the logger failed, not the
    // log, so what was loaded before stays whole rather than giving way to nothing.
    const bool noneRead = std::none_of(loaded.begin(), loaded.end(), [](const TLoadedSource& source) {
        return source.records != nullptr;
    });
    if (!accepted.isEmpty() && noneRead) {
        read.dump->addLine(QStringLiteral("Ни один источник не прочитан, прежние данные сохранены"));
    } else {
        store_.setSources(candidates, accepted);
        store_.setLoadedSources(std::move(loaded), request.currentYear);
    }
    report.memo4 = std::move(read.dump);
    report.freeMemoryText = FreeMemoryText(store_.RecordCount());
}

TLoader::TSourceRead TLoader::loadSource(const TSourceCandidate& source, const TLoadRequest& request,
                                         TLoadReport& report, TDumpLog& dump)
{
    TLoadProgress progress(request.showProgress);
    progress.start();
    const std::optional<qint64> reported = request.recordCountOf ? request.recordCountOf(source.filePath)
                                                                 : std::nullopt;
    dump.addLine(QStringLiteral("> ") + source.filePath);
    if (!reported) {
        dump.addLine(QStringLiteral("Регистратор не ответил, источник пропущен"));
        return {};
    }
    store_.setRecordCount(*reported);
    if (request.testMode) {
        report.windowCaption = QString::number(*reported);
        store_.setRecordCount(TestModeRecordCount);
    }

    progress.setRecordCount(store_.RecordCount());
    const auto raw = store_.RawRecords();
    const TReadResult read = ReadSource(source.filePath, store_.RecordCount(), raw,
                                        [&progress](qint64 k) { progress.recordReached(k); });
    if (!read.opened) {
        dump.addLine(QStringLiteral("Не удалось открыть файл: ") + read.error);
        return {};
    }

    auto records = std::make_shared<TRecordList>(request.currentYear);
    records->reserve(read.recordsRead);
    for (qint64 k = 0; k < read.recordsRead; ++k)
        records->appendIfValid(raw[size_t(k)]);
    dump.addRecords(records);
    return {records, read.recordsRead};
}

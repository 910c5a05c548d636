#include "data/Loader.h"

#include "data/LoadTexts.h"
#include "data/ReadSource.h"
#include "data/SourceDiscovery.h"

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
    report.memoFileRes = baseNames(accepted);

    auto dump = std::make_shared<TDumpLog>();
    std::shared_ptr<TRecordList> shown;
    for (const TSourceCandidate& source : accepted) {
        std::shared_ptr<TRecordList> records = loadSource(source, request, report, *dump);
        if (!shown)
            shown = std::move(records);
    }

    store_.setSources(candidates, accepted);
    store_.showRecords(shown ? std::move(shown) : std::make_shared<TRecordList>(request.currentYear));
    report.memo4 = std::move(dump);
    report.freeMemoryText = FreeMemoryText(store_.RecordCount());
    return report;
}

std::shared_ptr<TRecordList> TLoader::loadSource(const TSourceCandidate& source, const TLoadRequest& request,
                                                 TLoadReport& report, TDumpLog& dump)
{
    TLoadProgress progress(request.showProgress);
    progress.start();
    const std::optional<qint64> reported = request.recordCountOf ? request.recordCountOf(source.filePath)
                                                                 : std::nullopt;
    dump.addLine(QStringLiteral("> ") + source.filePath);
    if (!reported) {
        dump.addLine(QStringLiteral("Регистратор не ответил, источник пропущен"));
        return nullptr;
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
        return nullptr;
    }

    auto records = std::make_shared<TRecordList>(request.currentYear);
    records->reserve(read.recordsRead);
    for (qint64 k = 0; k < read.recordsRead; ++k)
        records->appendIfValid(raw[size_t(k)]);
    dump.addRecords(records);
    return records;
}

// The data layer's costs: a full log memory loaded from a page-cached data.log,
// one screen of the row table, a chart range query, the CSV export and the memory
// a small load commits.
#include "data/CsvExport.h"
#include "data/FileSave.h"
#include "data/FolderVolumeSource.h"
#include "data/Loader.h"
#include "data/LogGenerator.h"
#include "data/MeasurementSeries.h"
#include "data/RowTexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <unistd.h>

namespace {

constexpr qint64 FullLogRecords = 262144;
const QString LoggerLabel = QStringLiteral("2400123");

// A logger drive holding a full log memory of one shape, generated once.
class LoggerDrive
{
public:
    explicit LoggerDrive(TLogShape shape)
    {
        const QString root = dir_.filePath("E");
        QDir().mkpath(root);
        QFile file(QDir(root).filePath("data.log"));
        file.open(QIODevice::WriteOnly);
        file.write(LogGenerator(1).generate(FullLogRecords, shape, QDateTime(QDate(2024, 1, 1), QTime(0, 0))));
        volumes_.addFolder(root, LoggerLabel);
    }

    QString logPath() const { return QDir(dir_.filePath("E")).filePath("data.log"); }

    // Loads and hands the result to the sources and the store, as the data viewer does.
    TLoadResult load(TSourceList& sources, qint64 recordCount = FullLogRecords) const
    {
        TLoadRequest request;
        request.expectedLabel = LoggerLabel;
        request.currentYear = 2026;
        request.recordCountOf = [recordCount](const QString&) { return std::optional<qint64>(recordCount); };
        request.showProgress = [](const QString& text) { benchmark::DoNotOptimize(text.size()); };
        TLoadResult result = TLoader(volumes_).loadFromDrives(request);
        sources.adopt(result);
        return result;
    }

private:
    QTemporaryDir dir_;
    FolderVolumeSource volumes_;
};

TLogShape ShapeOf(const benchmark::State& state)
{
    return state.range(0) == 0 ? TLogShape::Typical : TLogShape::WorstCase;
}

// One drive per shape for the whole run, so every load finds its file page-cached.
const LoggerDrive& DriveOf(TLogShape shape)
{
    static std::map<TLogShape, std::unique_ptr<LoggerDrive>> drives;
    auto& drive = drives[shape];
    if (!drive)
        drive = std::make_unique<LoggerDrive>(shape);
    return *drive;
}

TMeasurementStore& SharedStore()
{
    static TMeasurementStore store;
    return store;
}

TSourceList& SharedSources()
{
    static TSourceList sources(SharedStore());
    return sources;
}

void BM_LoadFullLog(benchmark::State& state)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const LoggerDrive& drive = DriveOf(ShapeOf(state));
    TMeasurementStore& store = SharedStore();
    TSourceList& sources = SharedSources();
    drive.load(sources); // warm the page cache
    TLoadResult report;
    for (auto _ : state) {
        report = drive.load(sources);
        benchmark::DoNotOptimize(report.freeMemoryText.size());
    }
    // The sources keep their records as read, and the store reads the shown
    // one's in place: those bytes are the raw log, counted once. Beyond them
    // the program holds the decoding, the store's indexes and the dump's texts.
    const qsizetype raw = sources.rawMemoryBytes();
    const qsizetype beyondRaw = store.memoryBytes() + report.dump->memoryBytes() - store.records().memoryBytes();
    state.counters["records"] = double(store.records().size());
    state.counters["rows"] = double(store.DataRowCount());
    state.counters["raw_bytes_per_record"] = double(raw) / double(report.recordCount);
    state.counters["beyond_raw_bytes_per_record"] = double(beyondRaw) / double(report.recordCount);
}
BENCHMARK(BM_LoadFullLog)->ArgName("worst")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A saved full log opened from the menu or the command line, page-cached.
void BM_OpenSavedLog(benchmark::State& state)
{
    const LoggerDrive& drive = DriveOf(ShapeOf(state));
    TMeasurementStore& store = SharedStore();
    TSourceList& sources = SharedSources();
    const FolderVolumeSource noVolumes;
    TLoader loader(noVolumes);
    loader.loadFile(drive.logPath(), TLoadRequest()); // warm the page cache
    for (auto _ : state) {
        TLoadResult report = loader.loadFile(drive.logPath(), TLoadRequest());
        sources.adopt(report);
        benchmark::DoNotOptimize(report.failure.size());
    }
    state.counters["rows"] = double(store.DataRowCount());
}
BENCHMARK(BM_OpenSavedLog)->ArgName("worst")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FormatScreen(benchmark::State& state)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    TMeasurementStore& store = SharedStore();
    DriveOf(ShapeOf(state)).load(SharedSources());
    const qint64 rows = store.DataRowCount();
    const qint64 starts[] = {0, rows / 2, rows - 40};
    const qint64 first = starts[state.range(1)];
    const TRowTexts texts(store);
    for (auto _ : state) {
        qsizetype characters = 0;
        for (qint64 row = first; row < first + 40; ++row) {
            for (int column = 0; column < 7; ++column)
                characters += texts.cellText(row, column).size();
        }
        benchmark::DoNotOptimize(characters);
    }
    state.counters["first_row"] = double(first);
}
BENCHMARK(BM_FormatScreen)
    ->ArgNames({"worst", "at"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond);

void BM_SeriesRangeWholeLog(benchmark::State& state)
{
    TMeasurementStore& store = SharedStore();
    DriveOf(ShapeOf(state)).load(SharedSources());
    const TMeasurementSeries series(store, TSeriesKind::T);
    for (auto _ : state)
        benchmark::DoNotOptimize(series.range(1, series.pointCount() - 2));
    state.counters["points"] = double(series.pointCount());
}
BENCHMARK(BM_SeriesRangeWholeLog)->ArgName("worst")->Arg(0)->Arg(1)->Unit(benchmark::kNanosecond);

// Counts what it is given and keeps nothing, so only the formatting is measured.
class DiscardingDevice : public QIODevice
{
public:
    DiscardingDevice() { open(QIODevice::WriteOnly); }
    qint64 written = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override
    {
        written += size;
        return size;
    }
};

void BM_ExportCsv(benchmark::State& state)
{
    TMeasurementStore& store = SharedStore();
    DriveOf(ShapeOf(state)).load(SharedSources());
    qint64 bytes = 0;
    for (auto _ : state) {
        DiscardingDevice device;
        WriteCsv(store, device, nullptr);
        bytes += device.written;
    }
    state.SetBytesProcessed(bytes);
    state.counters["rows"] = double(store.DataRowCount());
}
BENCHMARK(BM_ExportCsv)->ArgName("worst")->Arg(0)->Arg(1)->Iterations(2)->Unit(benchmark::kMillisecond);

// The same export as the window saves it: into a file beside the target, then renamed.
void BM_ExportCsvFile(benchmark::State& state)
{
    TMeasurementStore& store = SharedStore();
    DriveOf(ShapeOf(state)).load(SharedSources());
    QTemporaryDir dir;
    const QString path = dir.filePath("export.csv");
    const auto write = [&store](QIODevice& device, QString* error) { return WriteCsv(store, device, error); };
    for (auto _ : state) {
        QString error;
        if (!SaveFile(path, write, &error))
            state.SkipWithError("the export failed");
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
    state.counters["rows"] = double(store.DataRowCount());
}
BENCHMARK(BM_ExportCsvFile)->ArgName("worst")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

qint64 ResidentBytes()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// A fresh store and a 1,000-record load commit about what those records
// take, not the 64 MiB one load may hold.
void BM_RawBufferCommitted(benchmark::State& state)
{
    const LoggerDrive& drive = DriveOf(TLogShape::Typical);
    double committedMiB = 0;
    for (auto _ : state) {
        const qint64 before = ResidentBytes();
        TMeasurementStore store;
        TSourceList sources(store);
        drive.load(sources, 1000);
        committedMiB = double(ResidentBytes() - before) / (1024 * 1024);
    }
    state.counters["resident_growth_MiB"] = committedMiB;
}
BENCHMARK(BM_RawBufferCommitted)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

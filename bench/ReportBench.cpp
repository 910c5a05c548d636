// What leaves the program: the spreadsheet report of a full log memory and
// the chart's bitmap of the worst-case log.
#include "FullLogStores.h"

#include "chart/TChart.h"
#include "data/UserLimitsHolder.h"
#include "reports/ChartOutput.h"
#include "reports/SpreadsheetReport.h"
#include "reports/WorkbookCheck.h"
#include "views/TChartPage.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

qint64 peakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The typical full log is about a million rows (1,056,970).
void BM_SpreadsheetReport(benchmark::State& state)
{
    const TMeasurementStore& store = fullLogStore(TLogShape::Typical);
    QTemporaryDir dir;
    const QString path = dir.filePath("report.xlsx");
    const qint64 peakBefore = peakResidentKiB();
    for (auto _ : state) {
        QString error;
        if (!BuildSpreadsheetReport(store, {QDateTime::currentDateTime(), QStringLiteral("2400123")}, path, &error))
            state.SkipWithError(error.toUtf8().constData());
    }
    state.counters["rows"] = double(store.DataRowCount());
    state.counters["peak_rss_growth_MiB"] = double(peakResidentKiB() - peakBefore) / 1024.0;
    state.counters["file_MiB"] = double(QFile(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_SpreadsheetReport)->Iterations(1)->Unit(benchmark::kMillisecond);

// The last step of the report above, reading the finished book back: every
// sheet unpacked, its checksum and its last row compared.
void BM_SpreadsheetCheck(benchmark::State& state)
{
    const TMeasurementStore& store = fullLogStore(TLogShape::Typical);
    QTemporaryDir dir;
    const QString path = dir.filePath("report.xlsx");
    QString error;
    if (!BuildSpreadsheetReport(store, {QDateTime::currentDateTime(), QStringLiteral("2400123")}, path, &error)) {
        state.SkipWithError(error.toUtf8().constData());
        return;
    }
    // The first data sheet is full below its six lines of heading; the second
    // holds its own header row, the rest of the rows, an empty row and the signature.
    const qint64 firstSheetRows = SheetRowLimit - 6;
    const auto lastRowOfSecond = quint32(1 + store.DataRowCount() - firstSheetRows + 2);
    const std::vector<TExpectedSheet> sheets{
        {QStringLiteral("xl/worksheets/sheet2.xml"), QStringLiteral("Данные"), quint32(SheetRowLimit)},
        {QStringLiteral("xl/worksheets/sheet3.xml"), QStringLiteral("Данные 2"), lastRowOfSecond}};
    for (auto _ : state) {
        if (!CheckWorkbook(path, sheets, &error))
            state.SkipWithError(error.toUtf8().constData());
    }
    state.counters["file_MiB"] = double(QFile(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_SpreadsheetCheck)->Unit(benchmark::kMillisecond);

void BM_ChartBitmap(benchmark::State& state)
{
    const TUserLimitsHolder limits(std::nullopt);
    TChartPage page(fullLogStore(TLogShape::WorstCase), limits);
    page.storeLoaded();
    page.Chart->resize(1280, 720);
    for (auto _ : state) {
        const QImage image = ChartImage(*page.Chart);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ChartBitmap)->Unit(benchmark::kMillisecond);

}  // namespace

// The spreadsheet report of the worst-case log shape (every repeat count 255)
// over a few million rows: its speed per million rows, and, while it runs on
// the data viewer's worker, how long the UI thread ever waits, how often the
// progress moves and how soon a cancel takes effect; and what the reports
// still do on the UI thread: the store's copy and the PDF's document.
#include "FullLogStores.h"

#include "chart/TChart.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/UserLimitsHolder.h"
#include "reports/PdfReport.h"
#include "reports/SpreadsheetReport.h"
#include "shell/TBackgroundJob.h"
#include "views/TChartPage.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

// The first `records` records of a worst-case log, shown in a store of their own.
std::unique_ptr<TMeasurementStore> worstCaseStore(qint64 records)
{
    const QByteArray bytes =
        LogGenerator(1).generate(records, TLogShape::WorstCase, QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
    auto list = std::make_shared<TRecordList>(2026);
    list->reserve(records);
    const auto* raw = reinterpret_cast<const TLogRecord*>(bytes.constData());
    for (qint64 i = 0; i < records; ++i)
        list->appendIfValid(raw[i]);
    auto store = std::make_unique<TMeasurementStore>();
    store->showRecords(std::move(list));
    return store;
}

const TReportHeader Header{QDateTime(QDate(2024, 1, 1), QTime(12, 0)), QStringLiteral("2400123")};

void setPerMillionRows(benchmark::State& state, qint64 rows)
{
    state.counters["rows"] = double(rows);
    state.counters["s_per_million_rows"] = benchmark::Counter(
        double(rows) / 1e6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// 16,384 records of 255 rows: 4.2 million rows on four sheets, on this thread.
void BM_WorstCaseReport(benchmark::State& state)
{
    const auto store = worstCaseStore(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xlsx"));
    for (auto _ : state) {
        QString error;
        if (!BuildSpreadsheetReport(*store, Header, path, &error))
            state.SkipWithError(error.toUtf8().constData());
    }
    setPerMillionRows(state, store->DataRowCount());
}
BENCHMARK(BM_WorstCaseReport)->Arg(16384)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the UI thread sees while the report runs on the worker as the data
// viewer starts it: the copy of the store, then a 10 ms timer's ticks.
struct TUiWatch {
    qint64 longestTickGapMs = 0;
    qint64 longestProgressGapMs = 0; // between two moves of the progress shown, or the last and the end
    qint64 ticks = 0;
};

enum class TCancel { Never, AfterTwoSeconds, WhileZipping };

TUiWatch watchReport(const TMeasurementStore& store, const QString& path, TCancel cancelAt, qint64* cancelTakesMs)
{
    TUiWatch watch;
    TBackgroundJob job;
    QElapsedTimer sinceTick;
    QElapsedTimer sinceProgress;
    QElapsedTimer running;
    qint64 lastDone = -1;
    QElapsedTimer cancelled;
    QObject::connect(&job, &TBackgroundJob::progressed, [&](qint64 done, qint64 total) {
        // The rows are the first half of the progress, the zipping the second.
        if (cancelAt == TCancel::WhileZipping && done > total / 2 && !cancelled.isValid()) {
            cancelled.start();
            job.cancel();
        }
        if (done == lastDone)
            return;
        if (lastDone > 0)
            watch.longestProgressGapMs = std::max(watch.longestProgressGapMs, sinceProgress.elapsed());
        lastDone = done;
        sinceProgress.start();
    });
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        watch.longestTickGapMs = std::max(watch.longestTickGapMs, sinceTick.restart());
        ++watch.ticks;
    });
    QTimer canceller;
    canceller.setSingleShot(true);
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        cancelled.start();
        job.cancel();
    });
    bool finished = false;
    sinceTick.start();
    ticker.start();
    running.start();
    // The snapshot the viewer's report takes on the UI thread.
    auto copy = std::make_shared<const TMeasurementStore>(store);
    job.start(QStringLiteral("report"),
              [copy, path](TJobProgress& progress) {
                  QString error;
                  BuildSpreadsheetReport(*copy, Header, path, &error, SheetRowLimit, &progress);
              },
              [&](bool) {
                  finished = true;
                  // The book is zipped after its last row: the progress stands still meanwhile.
                  watch.longestProgressGapMs = std::max(watch.longestProgressGapMs, sinceProgress.elapsed());
                  if (cancelled.isValid() && cancelTakesMs)
                      *cancelTakesMs = cancelled.elapsed();
              });
    if (cancelAt == TCancel::AfterTwoSeconds)
        canceller.start(2000);
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return watch;
}

void BM_WorstCaseReportOnWorker(benchmark::State& state)
{
    const auto store = worstCaseStore(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xlsx"));
    TUiWatch watch;
    for (auto _ : state)
        watch = watchReport(*store, path, TCancel::Never, nullptr);
    setPerMillionRows(state, store->DataRowCount());
    state.counters["ui_longest_gap_ms"] = double(watch.longestTickGapMs);
    state.counters["ui_ticks"] = double(watch.ticks);
    state.counters["progress_longest_gap_ms"] = double(watch.longestProgressGapMs);
}
BENCHMARK(BM_WorstCaseReportOnWorker)->Arg(16384)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A cancel while the rows are written (two seconds in) and while the book
// is zipped: how long until the windows go on, and whether any file is left
// in the folder then.
void BM_WorstCaseReportCancel(benchmark::State& state)
{
    const auto store = worstCaseStore(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xlsx"));
    qint64 cancelTakesMs = -1;
    TUiWatch watch;
    for (auto _ : state)
        watch = watchReport(*store, path, TCancel(state.range(1)), &cancelTakesMs);
    state.counters["cancel_takes_ms"] = double(cancelTakesMs);
    state.counters["files_left"] = double(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size());
    state.counters["ui_longest_gap_ms"] = double(watch.longestTickGapMs);
}
BENCHMARK(BM_WorstCaseReportCancel)
    ->Args({16384, int(TCancel::AfterTwoSeconds)})
    ->Args({4096, int(TCancel::WhileZipping)})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The copy of the full worst-case store (66.8 million rows) that a report
// takes on the UI thread before the worker starts.
void BM_StoreSnapshot(benchmark::State& state)
{
    const TMeasurementStore& store = fullLogStore(TLogShape::WorstCase);
    for (auto _ : state) {
        auto copy = std::make_shared<const TMeasurementStore>(store);
        benchmark::DoNotOptimize(copy.get());
    }
}
BENCHMARK(BM_StoreSnapshot)->Unit(benchmark::kMillisecond);

// The PDF report's document of the worst-case log, composed on the UI thread
// (the chart paints only there) before the worker writes it to its file.
void BM_PdfDocumentOnUiThread(benchmark::State& state)
{
    const TUserLimitsHolder limits(std::nullopt);
    TChartPage page(fullLogStore(TLogShape::WorstCase), limits);
    page.storeLoaded();
    page.Chart->resize(1280, 720);
    for (auto _ : state) {
        QBuffer document;
        document.open(QIODevice::WriteOnly);
        QString error;
        if (!WritePdfReport(fullLogStore(TLogShape::WorstCase), *page.Chart, Header, document, &error))
            state.SkipWithError(error.toUtf8().constData());
    }
}
BENCHMARK(BM_PdfDocumentOnUiThread)->Unit(benchmark::kMillisecond);

}  // namespace

// The spreadsheet report of the worst-case log shape (every repeat count 255)
// over a few million rows: its speed per million rows.
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "reports/SpreadsheetReport.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

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

// 16,384 records of 255 rows: 4.2 million rows on four sheets.
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
    state.counters["rows"] = double(store->DataRowCount());
    state.counters["s_per_million_rows"] =
        benchmark::Counter(double(store->DataRowCount()) / 1e6, benchmark::Counter::kIsIterationInvariantRate
                                                                    | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WorstCaseReport)->Arg(16384)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

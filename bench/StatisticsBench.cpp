// The statistics window's computation over a full log memory: one pass over
// records, each weighted by its repeat count.
#include "FullLogStores.h"

#include "data/CellFormatter.h"
#include "reports/Statistics.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ComputeStatistics(benchmark::State& state)
{
    const TMeasurementStore& store = fullLogStore(TLogShape(state.range(0)));
    for (auto _ : state) {
        const TStatistics statistics = ComputeStatistics(store);
        benchmark::DoNotOptimize(statistics.channels[0].average);
    }
    state.counters["rows"] = double(store.DataRowCount());
}
BENCHMARK(BM_ComputeStatistics)
    ->Arg(int(TLogShape::WorstCase))
    ->Arg(int(TLogShape::Typical))
    ->Unit(benchmark::kMillisecond);

void BM_StatisticsTexts(benchmark::State& state)
{
    const TMeasurementStore& store = fullLogStore(TLogShape::WorstCase);
    for (auto _ : state)
        benchmark::DoNotOptimize(StatisticsTexts(ComputeStatistics(store), TCellFormatter(store.loadLocale())));
}
BENCHMARK(BM_StatisticsTexts)->Unit(benchmark::kMillisecond);

} // namespace

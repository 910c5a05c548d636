// The mean kinetic temperature and the limit excursions over a full log
// memory: one pass over the records for all of them, a record standing for
// its rows.
#include "FullLogStores.h"

#include "reports/Statistics.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ComputeMetrology(benchmark::State& state)
{
    const TMeasurementStore& store = fullLogStore(TLogShape(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ComputeMetrology(store));
    state.counters["records"] = double(store.records().size());
    state.counters["rows"] = double(store.DataRowCount());
}
BENCHMARK(BM_ComputeMetrology)
    ->Arg(int(TLogShape::WorstCase))
    ->Arg(int(TLogShape::Typical))
    ->Unit(benchmark::kMillisecond);

// The nine lines' texts: what a showing of the window or a report adds.
void BM_MetrologyTexts(benchmark::State& state)
{
    const TMeasurementStore& store = fullLogStore(TLogShape::WorstCase);
    for (auto _ : state)
        benchmark::DoNotOptimize(MetrologyTexts(store, store.loadLocale()));
}
BENCHMARK(BM_MetrologyTexts)->Unit(benchmark::kMillisecond);

} // namespace

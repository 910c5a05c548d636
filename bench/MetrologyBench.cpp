// The mean kinetic temperature and the limit excursions over a full log
// memory: one pass over records each, a record standing for its rows.
#include "FullLogStores.h"

#include "reports/LimitExcursions.h"
#include "reports/MeanKineticTemperature.h"
#include "reports/Statistics.h"

#include <benchmark/benchmark.h>

namespace {

void BM_MeanKineticTemperature(benchmark::State& state)
{
    const TMeasurementStore& store = fullLogStore(TLogShape(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(MeanKineticTemperature(store));
    state.counters["records"] = double(store.records().size());
    state.counters["rows"] = double(store.DataRowCount());
}
BENCHMARK(BM_MeanKineticTemperature)
    ->Arg(int(TLogShape::WorstCase))
    ->Arg(int(TLogShape::Typical))
    ->Unit(benchmark::kMillisecond);

// All four limits, as the statistics window needs them.
void BM_LimitExcursions(benchmark::State& state)
{
    const TMeasurementStore& store = fullLogStore(TLogShape(state.range(0)));
    for (auto _ : state) {
        for (const TLimit& limit : ChartLimits())
            benchmark::DoNotOptimize(ComputeExcursions(store, limit));
    }
    state.counters["rows"] = double(store.DataRowCount());
}
BENCHMARK(BM_LimitExcursions)
    ->Arg(int(TLogShape::WorstCase))
    ->Arg(int(TLogShape::Typical))
    ->Unit(benchmark::kMillisecond);

// The nine lines' texts: what a showing of the window or a report adds.
void BM_MetrologyTexts(benchmark::State& state)
{
    const TMeasurementStore& store = fullLogStore(TLogShape::WorstCase);
    for (auto _ : state)
        benchmark::DoNotOptimize(MetrologyTexts(store, store.formatter().locale()));
}
BENCHMARK(BM_MetrologyTexts)->Unit(benchmark::kMillisecond);

} // namespace

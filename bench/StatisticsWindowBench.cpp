// The statistics window over a full log memory: what a showing of it costs,
// its twelve lines and the lines of the kinetic temperature and the limits.
#include "FullLogStores.h"

#include "data/UserLimitsHolder.h"
#include "shell/TFormStatistic.h"

#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

void BM_StatisticsWindow(benchmark::State& state)
{
    const TMeasurementStore& store = fullLogStore(TLogShape(state.range(0)));
    QWidget mainWindow;
    TUserLimitsHolder limits(std::nullopt);
    TFormStatistic window(&mainWindow, store, limits);
    for (auto _ : state)
        window.ComputeStatistics();
    state.counters["rows"] = double(store.DataRowCount());
}
BENCHMARK(BM_StatisticsWindow)
    ->Arg(int(TLogShape::WorstCase))
    ->Arg(int(TLogShape::Typical))
    ->Unit(benchmark::kMillisecond);

} // namespace

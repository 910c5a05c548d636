// The data viewer's load as the user meets it, off screen: from the load
// timer's tick (discovery, the logger's record count, reading and decoding
// data.log, the progress button, filling the pages) to the loaded pages
// painted, on a full log memory of both shapes.
#include "data/FolderVolumeSource.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"
#include "shell/TApplicationWindows.h"
#include "shell/TFormMain.h"
#include "shell/TLoggerConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The program's windows on a simulated logger whose drive holds a full log.
struct TLoggerWindows {
    explicit TLoggerWindows(TLogShape shape)
    {
        constexpr qint64 Records = 262144;
        logger = std::make_shared<SimulatedLogger>(
            drive.path(), LogGenerator(1).generate(Records, shape, QDateTime(QDate(2024, 1, 1), QTime(0, 0))));
        auto backend = std::make_unique<SimulatedBackend>();
        backend->plug(logger);
        auto volumes = std::make_unique<FolderVolumeSource>();
        volumes->addFolder(drive.path(), logger->volumeLabel());
        windows = std::make_unique<TApplicationWindows>(TPlatform{std::move(backend), std::move(volumes)});
        windows->Connection->Timer1Timer();
        windows->FormMain->resize(1280, 720);
        windows->FormMain->show();
    }

    QTemporaryDir drive;
    std::shared_ptr<SimulatedLogger> logger;
    std::unique_ptr<TApplicationWindows> windows;
};

void BM_LoadTickToPagesPainted(benchmark::State& state)
{
    TLoggerWindows logger{TLogShape(state.range(0))};
    TFormMain& viewer = *logger.windows->FormMain;
    for (auto _ : state) {
        // The menu's "Обновить": the panel shows and is painted before the tick.
        viewer.BeginLoad();
        QCoreApplication::processEvents();
        QElapsedTimer elapsed;
        elapsed.start();
        viewer.TimerLoadTimer();
        viewer.repaint();
        state.SetIterationTime(double(elapsed.nsecsElapsed()) / 1e9);
    }
    state.counters["rows"] = double(viewer.Store().DataRowCount());
}
BENCHMARK(BM_LoadTickToPagesPainted)
    ->Arg(int(TLogShape::WorstCase))
    ->Arg(int(TLogShape::Typical))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

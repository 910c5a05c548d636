// The data viewer's load as the user meets it, off screen: from the load
// timer's tick (discovery, the logger's record count, reading and decoding
// data.log, the progress button, filling the pages) to the loaded pages
// painted, on a full log memory of both shapes; and a full log opened from
// a file against the same log opened from the archive window, to the chart
// painted.
#include "LoggerRequestsWait.h"
#include "archive/ArchiveTestSupport.h"
#include "data/FolderVolumeSource.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"
#include "shell/TApplicationWindows.h"
#include "shell/TArchiveWindow.h"
#include "shell/TBackgroundJob.h"
#include "shell/TFormMain.h"
#include "shell/TLoggerConnection.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTableView>
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
        windows->connection_->Timer1Timer();
        finishLoggerRequests(windows->connection_->requests());
        windows->formMain_->resize(1280, 720);
        windows->formMain_->show();
    }

    QTemporaryDir drive;
    std::shared_ptr<SimulatedLogger> logger;
    std::unique_ptr<TApplicationWindows> windows;
};

// The load runs on the viewer's worker: the events turn until its end is shown.
void waitForLoadEnd(TFormMain& viewer)
{
    while (viewer.backgroundJob().isRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void BM_LoadTickToPagesPainted(benchmark::State& state)
{
    TLoggerWindows logger{TLogShape(state.range(0))};
    TFormMain& viewer = *logger.windows->formMain_;
    for (auto _ : state) {
        // The menu's "Обновить": the panel shows and is painted before the tick.
        viewer.BeginLoad();
        QCoreApplication::processEvents();
        QElapsedTimer elapsed;
        elapsed.start();
        viewer.TimerLoadTimer();
        waitForLoadEnd(viewer);
        viewer.repaint();
        state.SetIterationTime(double(elapsed.nsecsElapsed()) / 1e9);
    }
    state.counters["rows"] = double(viewer.store().DataRowCount());
}
BENCHMARK(BM_LoadTickToPagesPainted)
    ->Arg(int(TLogShape::WorstCase))
    ->Arg(int(TLogShape::Typical))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

enum class TOpenedFrom { File, SqliteArchive, PostgresqlArchive };

// "Открыть файл..." against "Открыть" in the archive window, for one full log.
void BM_OpenFullLogToChartPainted(benchmark::State& state)
{
    const auto from = TOpenedFrom(state.range(0));
    ScratchArchive scratch(from == TOpenedFrom::PostgresqlArchive ? TArchiveLocation::Engine::Postgresql
                                                                  : TArchiveLocation::Engine::Sqlite);
    if (!scratch.unavailable().isEmpty()) {
        state.SkipWithError(qPrintable(scratch.unavailable()));
        return;
    }
    const QByteArray raw = LogGenerator(1).generate(262144, TLogShape::Typical, QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
    const QString path = scratch.folder() + QStringLiteral("/data.log");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(raw) != raw.size()) {
        state.SkipWithError("cannot write the log file");
        return;
    }
    file.close();
    {
        std::unique_ptr<TArchive> archive = scratch.open();
        QString error;
        if (!archive || !archive->store(QStringLiteral("2400123"), raw, path, TArchiveStamp::now(), &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
    }
    TPlatform platform{std::make_unique<SimulatedBackend>(), std::make_unique<FolderVolumeSource>()};
    platform.archive = scratch.location();
    auto windows = std::make_unique<TApplicationWindows>(std::move(platform));
    TFormMain& viewer = *windows->formMain_;
    viewer.resize(1280, 720);
    viewer.show();
    TArchiveWindow& archiveWindow = *windows->formArchive_;
    archiveWindow.showArchive();
    auto* list = archiveWindow.findChild<QTableView*>(QStringLiteral("EntryList"));
    auto* open = archiveWindow.findChild<QPushButton*>(QStringLiteral("ButtonOpen"));
    // The archive window reads on a thread of its own: its list, then the records opened.
    for (QDeadlineTimer listed(30000); list->model()->rowCount() == 0 && !listed.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    if (list->model()->rowCount() == 0) {
        state.SkipWithError("the archive window listed nothing");
        return;
    }
    list->selectRow(0);
    for (auto _ : state) {
        QElapsedTimer elapsed;
        elapsed.start();
        if (from == TOpenedFrom::File) {
            viewer.openLogFile(path, nullptr, nullptr);
        } else {
            // The window reads the records on its session's thread first.
            QEventLoop opened;
            QObject::connect(&archiveWindow, &TArchiveWindow::openRequested, &opened, &QEventLoop::quit);
            open->click();
            opened.exec();
        }
        waitForLoadEnd(viewer);
        viewer.repaint();
        state.SetIterationTime(double(elapsed.nsecsElapsed()) / 1e9);
    }
    state.counters["rows"] = double(viewer.store().DataRowCount());
    windows.reset(); // before the archive's database goes
}
BENCHMARK(BM_OpenFullLogToChartPainted)
    ->ArgName("from")
    ->Arg(int(TOpenedFrom::File))
    ->Arg(int(TOpenedFrom::SqliteArchive))
    ->Arg(int(TOpenedFrom::PostgresqlArchive))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

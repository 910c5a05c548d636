#pragma once

#include "FakeDialogs.h"
#include "LoggerRequestsWait.h"
#include "MonitorControls.h"

#include "data/FolderVolumeSource.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"
#include "shell/TApplicationWindows.h"
#include "shell/TBackgroundJob.h"
#include "shell/TFormRead.h"
#include "shell/TFormMain.h"
#include "shell/TFormSetting.h"
#include "shell/TLoggerConnection.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <vector>

// Lets the data viewer's background job (a load, a report, an export) run to its
// end, the event loop turning meanwhile; false if it did not end in time.
inline bool finishBackgroundJob(TFormMain& viewer)
{
    return QTest::qWaitFor([&viewer] { return !viewer.backgroundJob().isRunning(); }, 120000);
}

// Runs a load from the logger's drives, as the Sys page's "Go" does, and
// lets it end; false if it did not end in time.
inline bool loadFromLogger(TFormMain& viewer)
{
    viewer.GoClick();
    return finishBackgroundJob(viewer);
}

// Opens a saved log in the data viewer and lets its load end: the failure
// the load told, empty once the log is shown or the load was cancelled.
inline QString openLogFileWaiting(TFormMain& viewer, const QString& path)
{
    auto told = std::make_shared<std::optional<QString>>();
    viewer.openLogFile(path, &viewer, [told](const QString& failure) { *told = failure; });
    if (!QTest::qWaitFor([&told] { return told->has_value(); }, 120000))
        return QStringLiteral("the load of %1 did not end in time").arg(path);
    return **told;
}

// The program's windows on a simulated logger whose drive is a temporary
// folder; the logger starts unplugged, and detection ticks run on demand.
struct SimulatedWindows {
    // volumeLabel: the drive's label, the logger's own when empty; archive:
    // where loads are archived, none when not given.
    explicit SimulatedWindows(const QByteArray& log = QByteArray(160, '\0'), const QString& volumeLabel = {},
                              std::optional<TArchiveLocation> archive = std::nullopt)
    {
        auto simulated = std::make_unique<SimulatedBackend>();
        backend = simulated.get();
        logger = std::make_shared<SimulatedLogger>(drive.path(), log);
        auto volumes = std::make_unique<FolderVolumeSource>();
        volumeSource = volumes.get();
        volumes->addFolder(drive.path(), volumeLabel.isEmpty() ? logger->volumeLabel() : volumeLabel);
        auto fakeDialogs = std::make_unique<FakeDialogs>();
        dialogs = fakeDialogs.get();
        windows = std::make_unique<TApplicationWindows>(
            TPlatform{std::move(simulated), std::move(volumes), std::move(fakeDialogs), std::move(archive)});
    }

    // Plugs the logger in and lets the settings window detect it.
    void connectLogger()
    {
        backend->plug(logger);
        detect();
    }

    // One detection tick, run to its end.
    void detect()
    {
        windows->connection_->Timer1Timer();
        finishRequests();
    }

    // Lets every request asked of the logger so far end; fails the run if one never does.
    void finishRequests()
    {
        if (!finishLoggerRequests(windows->connection_->requests()))
            qFatal("the logger's requests did not end");
    }

    MonitorControls monitorControls() const { return MonitorControls(*windows->formRead_); }
    TLiveMonitor& liveMonitor() const { return LiveMonitorOf(*windows->formRead_); }
    QTimer* pollTimer() const { return PollTimerOf(*windows->formRead_); }

    // Detects the logger, then shows the data viewer at `size` after a load
    // run through the menu's panel and timer, as the user would.
    TFormMain& loadIntoShownViewer(QSize size = QSize(900, 600))
    {
        connectLogger();
        TFormMain& viewer = *windows->formMain_;
        viewer.resize(size);
        viewer.show();
        viewer.BeginLoad();
        viewer.TimerLoadTimer();
        QTest::qVerify(finishBackgroundJob(viewer), "finishBackgroundJob(viewer)", "the load did not end", __FILE__,
                       __LINE__);
        return viewer;
    }

    // Another drive with the logger's label and its own data.log, found after
    // the logger's drive by the next load.
    void addDriveLikeTheLoggers(const QByteArray& log)
    {
        const auto& folder = moreDrives.emplace_back(std::make_unique<QTemporaryDir>());
        QFile file(folder->filePath(QStringLiteral("data.log")));
        if (file.open(QIODevice::WriteOnly))
            file.write(log);
        volumeSource->addFolder(folder->path(), logger->volumeLabel());
    }

    QTemporaryDir drive;
    std::vector<std::unique_ptr<QTemporaryDir>> moreDrives;
    FolderVolumeSource* volumeSource = nullptr;
    SimulatedBackend* backend = nullptr;
    FakeDialogs* dialogs = nullptr;
    std::shared_ptr<SimulatedLogger> logger;
    std::unique_ptr<TApplicationWindows> windows;
};

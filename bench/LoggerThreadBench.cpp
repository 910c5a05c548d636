// The UI thread while the settings window talks to a slow logger: the
// simulated logger in real time, answering every request after 990 ms or
// never, while a calibration page write, a Wi-Fi write and an erase run.
// A 10 ms timer ticks on the UI thread meanwhile; the longest gap between
// two ticks is how long every window stood still.
#include "shell/SettingsControls.h"

#include "data/FolderVolumeSource.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"
#include "shell/TApplicationWindows.h"
#include "shell/TFormSetting.h"

#include <QPushButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

enum class TLoggerPace { Slow, Silent };
enum class TSettingsAction { CalibrationWrite, WiFiWrite, Erase };

constexpr qint64 SlowReplyMs = 990;

// The program's windows on a simulated logger in real time, detected.
struct TRealTimeWindows {
    TRealTimeWindows()
    {
        logger = std::make_shared<SimulatedLogger>(drive.path(), QByteArray(160, '\0'));
        auto backend = std::make_unique<SimulatedBackend>(SimulatedBackend::TimeMode::Real);
        backend->plug(logger);
        auto volumes = std::make_unique<FolderVolumeSource>();
        volumes->addFolder(drive.path(), logger->volumeLabel());
        windows = std::make_unique<TApplicationWindows>(TPlatform{std::move(backend), std::move(volumes)});
        // The first detection pass enables the settings' controls.
        const SettingsControls settings(*windows->formSetting_);
        while (!settings.GeneralPage->ButtonDeviceNumberRead->isEnabled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    QAbstractButton* button(TSettingsAction action) const
    {
        const SettingsControls settings(*windows->formSetting_);
        switch (action) {
        case TSettingsAction::CalibrationWrite:
            return settings.TempPage->button(QStringLiteral("ButtonTempWriteAll"));
        case TSettingsAction::WiFiWrite:
            return settings.WiFiPage->ButtonWiFiWriteAll;
        case TSettingsAction::Erase:
            break;
        }
        return settings.LoggerPage->ButtonLogMemErase;
    }

    QTemporaryDir drive;
    std::shared_ptr<SimulatedLogger> logger;
    std::unique_ptr<TApplicationWindows> windows;
};

struct TUiWatch {
    qint64 longestTickGapMs = 0;
    qint64 actionMs = 0;
};

// Clicks the button from the event loop and lets the action end: the click
// has returned and the button is enabled again.
TUiWatch watchAction(QAbstractButton& button)
{
    TUiWatch watch;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { watch.longestTickGapMs = std::max(watch.longestTickGapMs, sinceTick.restart()); });
    bool clicked = false;
    QElapsedTimer action;
    sinceTick.start();
    ticker.start();
    QTimer::singleShot(0, &button, [&] {
        action.start();
        button.click();
        clicked = true;
    });
    while (!clicked || !button.isEnabled())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    watch.actionMs = action.elapsed();
    // The last gap, up to the end of the action, counts too.
    watch.longestTickGapMs = std::max(watch.longestTickGapMs, sinceTick.elapsed());
    return watch;
}

void BM_SettingsActionOnSlowLogger(benchmark::State& state)
{
    const auto pace = TLoggerPace(state.range(0));
    const auto action = TSettingsAction(state.range(1));
    TUiWatch watch;
    for (auto _ : state) {
        state.PauseTiming();
        TRealTimeWindows windows;
        windows.logger->setLateReplyDelay(SlowReplyMs);
        windows.logger->setFault(pace == TLoggerPace::Slow ? SimulatedLogger::Fault::LateReply
                                                           : SimulatedLogger::Fault::NoReply);
        state.ResumeTiming();
        watch = watchAction(*windows.button(action));
    }
    state.counters["ui_longest_gap_ms"] = double(watch.longestTickGapMs);
    state.counters["action_ms"] = double(watch.actionMs);
}
BENCHMARK(BM_SettingsActionOnSlowLogger)
    ->ArgNames({"silent", "action"})
    ->ArgsProduct({{int(TLoggerPace::Slow), int(TLoggerPace::Silent)},
                   {int(TSettingsAction::CalibrationWrite), int(TSettingsAction::WiFiWrite),
                    int(TSettingsAction::Erase)}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

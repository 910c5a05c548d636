// The UI thread while the desktop notifier sends a notice to a notification
// service that answers after 5 s, or to none on the bus, and while the
// alarm's sound begins and beeps. A 10 ms timer ticks on the UI thread
// meanwhile; the longest gap between two ticks is how long every window stood
// still. The service is the tests' own, on a session bus of the benchmark's
// own: the program runs itself again inside dbus-run-session. The sound
// plays on whatever sound server PULSE_SERVER or the desktop names, if any.
#include "alerts/TestNotificationService.h"

#include "alerts/TAlarmSound.h"
#include "alerts/TDesktopNotifier.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

using namespace std::chrono_literals;

enum class TService { Slow, Missing };

// A 10 ms timer ticking on the UI thread from now on.
class TickWatch {
public:
    TickWatch()
    {
        ticker_.setInterval(10);
        QObject::connect(&ticker_, &QTimer::timeout,
                         [this] { longestGapMs_ = std::max(longestGapMs_, sinceTick_.restart()); });
        sinceTick_.start();
        ticker_.start();
    }

    // The last gap, up to now, counts too.
    qint64 longestGapMs() const { return std::max(longestGapMs_, sinceTick_.elapsed()); }

private:
    QTimer ticker_;
    QElapsedTimer sinceTick_;
    qint64 longestGapMs_ = 0;
};

// Lets the event loop run until `done`.
template <typename Done>
void runUntil(Done done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void BM_UiWhileNotifying(benchmark::State& state)
{
    const auto kind = TService(state.range(0));
    qint64 longestTickGapMs = 0;
    double notifyCallMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<TestNotificationService> service;
        if (kind == TService::Slow) {
            service.emplace(5s);
            if (!service->holdsName()) {
                state.SkipWithError("the notification service did not get its name on the bus");
                return;
            }
        }
        TDesktopNotifier notifier;
        bool told = false;
        QObject::connect(&notifier, &TDesktopNotifier::unavailable, [&] { told = true; });
        state.ResumeTiming();

        const TickWatch watch;
        bool sent = false;
        QTimer::singleShot(0, [&] {
            QElapsedTimer call;
            call.start();
            notifier.notify(QStringLiteral("ТРЕВОГА: температура выше предела"),
                            QStringLiteral("Температура 31,2 °C, предел 30,0 °C"));
            notifyCallMs = call.nsecsElapsed() / 1e6;
            sent = true;
        });
        const auto ended = [&] { return kind == TService::Slow ? service->answered() == 1 : told; };
        runUntil([&] { return sent && ended(); });
        // The answer's way back into the notifier counts too.
        QElapsedTimer tail;
        tail.start();
        runUntil([&] { return tail.elapsed() >= 100; });
        longestTickGapMs = watch.longestGapMs();
    }
    state.counters["ui_longest_gap_ms"] = double(longestTickGapMs);
    state.counters["notify_call_ms"] = notifyCallMs;
}
BENCHMARK(BM_UiWhileNotifying)
    ->ArgName("missing")
    ->Arg(int(TService::Slow))
    ->Arg(int(TService::Missing))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The first sound of the process finds the audio device (QtMultimedia asks
// the sound server on the calling thread) and loads the beep, then beeps
// every 200 ms for a second.
void BM_UiWhileSounding(benchmark::State& state)
{
    qint64 longestTickGapMs = 0;
    for (auto _ : state) {
        const TickWatch watch;
        std::optional<TAlarmSound> sound;
        bool stopped = false;
        QTimer::singleShot(0, [&] {
            sound.emplace(200ms);
            sound->start();
        });
        QTimer::singleShot(1000, [&] {
            sound->stop();
            stopped = true;
        });
        runUntil([&] { return stopped; });
        longestTickGapMs = watch.longestGapMs();
    }
    state.counters["ui_longest_gap_ms"] = double(longestTickGapMs);
}
BENCHMARK(BM_UiWhileSounding)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs this program again, with its arguments, inside dbus-run-session; only
// returns when that cannot be done.
int runOnPrivateBus(int argc, char** argv)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<char*> command{const_cast<char*>("dbus-run-session"), const_cast<char*>("--"),
                               const_cast<char*>(self.c_str())};
    command.insert(command.end(), argv + 1, argv + argc);
    command.push_back(nullptr);
    execvp(command[0], command.data());
    std::perror("dbus-run-session");
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("KORVI_BENCH_PRIVATE_BUS")) {
        qputenv("KORVI_BENCH_PRIVATE_BUS", "1");
        return runOnPrivateBus(argc, argv);
    }
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

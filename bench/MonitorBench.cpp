// The live monitor: one poll cycle against the simulated logger with the
// chart repainted, a paint of the chart holding a full day of points, and
// the alarms' work for one poll and a measurement taken into the monitor's
// record.

#include "LoggerRequestsWait.h"

#include "chart/TChart.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"
#include "device/TDeviceLink.h"
#include "device/TLoggerRequests.h"
#include "monitor/AlarmTexts.h"
#include "monitor/TAlarmWatch.h"
#include "monitor/TLiveMonitor.h"
#include "monitor/TMonitorRecord.h"
#include "text/FormatLocale.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

// The monitor's parts as the windows hold them, on a plugged simulated logger.
struct MonitorRig {
    MonitorRig()
    {
        auto backend = std::make_unique<SimulatedBackend>();
        auto* simulated = backend.get();
        simulated->plug(std::make_shared<SimulatedLogger>(drive.path(), QByteArray()));
        requests = std::make_unique<TLoggerRequests>(std::move(backend));
        requestResult(*requests, [](TDeviceLink& link) {
            link.LoadHidLibrary();
            link.detectionPass();
        });
        chart.resize(584, 361);
        monitor = std::make_unique<TLiveMonitor>(*requests, timer2, chart, label1, label2);
    }

    // One cycle, from the timer's tick to its reading shown.
    void cycle()
    {
        monitor->Timer2Timer();
        finishLoggerRequests(*requests);
    }

    void paint(QImage& image) const
    {
        QPainter painter(&image);
        chart.paint(painter, image.rect());
    }

    QTemporaryDir drive;
    std::unique_ptr<TLoggerRequests> requests;
    QTimer timer2;
    TChart chart;
    QLabel label1;
    QLabel label2;
    std::unique_ptr<TLiveMonitor> monitor;
};

void BM_PollCycleWithRepaint(benchmark::State& state)
{
    MonitorRig rig;
    QImage image(rig.chart.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        rig.cycle();
        rig.paint(image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PollCycleWithRepaint)->Unit(benchmark::kMillisecond);

void BM_PaintFullDay(benchmark::State& state)
{
    MonitorRig rig;
    for (qint64 i = 0; i < TLiveMonitor::KeptPoints; ++i)
        rig.cycle();
    // The whole day in view, the worst a user can pan or the program can set.
    rig.chart.setBottomRange(0, double(TLiveMonitor::KeptPoints - 1));
    QImage image(rig.chart.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        rig.paint(image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintFullDay)->Unit(benchmark::kMillisecond);

// The most a poll can cost the alarms: every channel crosses both ways each
// cycle with no delay, so each poll starts or ends three alarms, and their
// trail texts and the status line are written.
void BM_AlarmsPerPoll(benchmark::State& state)
{
    TAlarmWatch watch(TAlarmSettings{.delaySeconds = 0, .repeatMinutes = 1});
    const TUserLimits limits{20, 80, 300, 600, 950, 1050};
    const QLocale locale = FormatLocale();
    QDateTime at(QDate(2026, 12, 11), QTime(14, 0));
    bool beyond = false;
    for (auto _ : state) {
        at = at.addSecs(2);
        beyond = !beyond;
        const TLiveMeasurement measurement{at, beyond ? std::array<std::optional<int>, 3>{94, 650, 1060}
                                                      : std::array<std::optional<int>, 3>{50, 450, 1000}};
        for (const TAlarmNotice& notice : watch.take(measurement, limits))
            benchmark::DoNotOptimize(AlarmNoticeDetail(notice, 0, locale));
        benchmark::DoNotOptimize(AlarmStatusText(watch.standing(), at.date(), locale));
    }
}
BENCHMARK(BM_AlarmsPerPoll)->Unit(benchmark::kMicrosecond);

// Each measurement is of the next slot, so each one writes the slot before:
// the same values as the last record rewrite it in place (a new one every
// 255 slots), changed values append a record.
void takeSlots(benchmark::State& state, bool changing)
{
    const QTemporaryDir folder;
    TMonitorRecord record(folder.path());
    const std::array<std::array<std::optional<int>, 3>, 2> values{{{235, 456, 1013}, {236, 456, 1013}}};
    QDateTime at(QDate(2024, 6, 15), QTime(0, 0, 5));
    qint64 slot = 0;
    for (auto _ : state) {
        record.take(QStringLiteral("2400123"), {at, values[changing ? slot % 2 : 0]});
        at = at.addSecs(TMonitorRecord::SlotSeconds);
        ++slot;
    }
}

void BM_RecordRewritesTheLastRecord(benchmark::State& state)
{
    takeSlots(state, false);
}
BENCHMARK(BM_RecordRewritesTheLastRecord)->Unit(benchmark::kMicrosecond);

void BM_RecordAppendsARecord(benchmark::State& state)
{
    takeSlots(state, true);
}
BENCHMARK(BM_RecordAppendsARecord)->Unit(benchmark::kMicrosecond);

}  // namespace

// The UI thread while TAlarmMailer sends to the test server of
// script/with-smtp that answers each message only after 5 s. A 10 ms timer
// ticks on the calling thread meanwhile; the longest gap between two ticks is
// how long the windows would have stood still.
#include "mail/SmtpTestServers.h"
#include "mail/TAlarmMailer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

void BM_AlarmMailToASlowServer(benchmark::State& state)
{
    const std::optional<TSmtpTestServers> servers = TSmtpTestServers::fromEnvironment();
    if (!servers) {
        state.SkipWithError("no SMTP servers; script/bench starts them (script/with-smtp)");
        return;
    }
    const auto messages = int(state.range(0));
    qint64 longestTickGapMs = 0;
    qint64 sendMs = 0;
    for (auto _ : state) {
        TAlarmMailer mailer({servers->url(servers->slowPort), {}, QStringLiteral("korvi@lab.local"),
                             {UniqueRecipient(QStringLiteral("bench"))}});
        int told = 0;
        QObject::connect(&mailer, &TAlarmMailer::sent, [&told] { ++told; });
        QObject::connect(&mailer, &TAlarmMailer::failed, [&told] { ++told; });
        QElapsedTimer sinceTick;
        QTimer ticker;
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout,
                         [&] { longestTickGapMs = std::max(longestTickGapMs, sinceTick.restart()); });
        QElapsedTimer sending;
        sending.start();
        sinceTick.start();
        ticker.start();
        for (int message = 0; message < messages; ++message)
            mailer.send({QStringLiteral("Начало тревоги %1").arg(message + 1), QStringLiteral("Температура 9,4 °C")});
        while (told < messages)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        sendMs = sending.elapsed();
        // The last gap, up to the last message told, counts too.
        longestTickGapMs = std::max(longestTickGapMs, sinceTick.elapsed());
    }
    state.counters["ui_longest_gap_ms"] = double(longestTickGapMs);
    state.counters["send_ms"] = double(sendMs);
}
BENCHMARK(BM_AlarmMailToASlowServer)->ArgName("messages")->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

#include "KorviTestMain.h"

#include "SimulatedWindows.h"

#include "monitor/TLiveMonitor.h"
#include "shell/TFormRead.h"

#include <QFile>

#include <unistd.h>

namespace {

// Resident memory of this process in bytes, from /proc/self/statm.
qint64 ResidentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}

constexpr bool MemoryIsMeasurable()
{
    // AddressSanitizer holds freed blocks back in its quarantine, so resident
    // memory grows there whatever the program does; its leak check covers that build.
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
}

} // namespace

// The live monitor polling a logger at full speed for more than a day's worth
// of cycles: once the kept points reach their cap, nothing grows any more.
class MonitorSoakTest : public QObject {
    Q_OBJECT

private slots:
    void pointsStayCappedAndMemoryFlatOverManyCycles();
};

void MonitorSoakTest::pointsStayCappedAndMemoryFlatOverManyCycles()
{
    SimulatedWindows simulation;
    simulation.connectLogger();
    simulation.logger->clearRequests();
    TFormRead& monitorWindow = *simulation.windows->formRead_;
    monitorWindow.show();
    TLiveMonitor& monitor = simulation.liveMonitor();
    const qint64 cap = TLiveMonitor::KeptPoints;

    // Cycles at full speed; the chart repaints now and then with all it keeps.
    // The simulated logger's own log of requests is emptied as it goes: it
    // belongs to the simulation, not to the program under test.
    qint64 requests = 0;
    const auto runCycles = [&](qint64 count) {
        for (qint64 cycle = 0; cycle < count; ++cycle) {
            monitor.Timer2Timer();
            simulation.finishRequests();
            if (cycle % 4096 == 0) {
                QCoreApplication::processEvents();
                requests += simulation.logger->requests().size();
                simulation.logger->clearRequests();
            }
        }
        QCoreApplication::processEvents();
        requests += simulation.logger->requests().size();
        simulation.logger->clearRequests();
    };

    const qint64 startBytes = ResidentBytes();
    runCycles(cap);
    QCOMPARE(monitor.humidityPoints().pointCount(), cap);
    QCOMPARE(monitor.humidityPoints().firstIndex(), 0);
    // Past the cap, so that every structure has reached its steady size.
    runCycles(cap / 4);
    const qint64 cappedBytes = ResidentBytes();
    runCycles(cap / 2);
    const qint64 middleBytes = ResidentBytes();
    runCycles(cap / 2);
    const qint64 endBytes = ResidentBytes();

    const qint64 cycles = cap + cap / 4 + cap;
    for (const TListSeriesSource* points : {&monitor.humidityPoints(), &monitor.temperaturePoints()}) {
        QCOMPARE(points->pointCount(), cap);
        QCOMPARE(points->firstIndex(), cycles - cap);
        QVERIFY(points->value(cycles - 1).has_value());
    }
    QCOMPARE(requests, 4 * cycles);

    const qint64 fillGrowth = cappedBytes - startBytes;
    const qint64 cappedGrowth = endBytes - cappedBytes;
    qInfo("%lld cycles; resident memory: +%lld KiB while filling to %lld points, then +%lld KiB and +%lld KiB "
          "over two runs of %lld cycles",
          qlonglong(cycles), qlonglong(fillGrowth / 1024), qlonglong(cap),
          qlonglong((middleBytes - cappedBytes) / 1024), qlonglong((endBytes - middleBytes) / 1024),
          qlonglong(cap / 2));
    if (!MemoryIsMeasurable())
        QSKIP("resident memory is not meaningful under AddressSanitizer");
    QVERIFY(startBytes > 0 && endBytes > 0);
    // Filling the cap costs megabytes; a whole cap's cycles after it, not even half of one.
    QVERIFY2(fillGrowth > 2 * 1024 * 1024, qPrintable(QString::number(fillGrowth)));
    QVERIFY2(cappedGrowth < 512 * 1024, qPrintable(QString::number(cappedGrowth)));
}

KORVI_QTEST_MAIN(MonitorSoakTest)
#include "MonitorSoakTest.moc"

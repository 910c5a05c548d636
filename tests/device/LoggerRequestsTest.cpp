#include "LoggerRequestsWait.h"

#include "device/RegisterMap.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"
#include "device/TDeviceLink.h"
#include "device/TLoggerRequests.h"

#include <QElapsedTimer>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>
#include <thread>

// The logger's thread on its own, on a simulated logger in virtual time.
class LoggerRequestsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void requestsRunOnTheLoggerThreadInOrder();
    void statusLinesComeBeforeTheResultOfTheirRequest();
    void aReceiverGoneMeanwhileGetsNothing();
    void aWaitingWorkerStopsAtOnceAndItsRequestAsksNothing();
    void theEndWaitsForTheRunningRequestAndDropsTheQueued();

private:
    // Holds the logger's thread in a request until released.
    void holdTheLoggerThread();

    QTemporaryDir drive;
    std::shared_ptr<SimulatedLogger> logger;
    std::unique_ptr<TLoggerRequests> requests;
    QSemaphore held;
    QSemaphore release;
};

void LoggerRequestsTest::init()
{
    auto backend = std::make_unique<SimulatedBackend>();
    logger = std::make_shared<SimulatedLogger>(drive.path(), QByteArray(160, '\0'));
    logger->setRegisterValue(RegDeviceNumber, 77);
    backend->plug(logger);
    requests = std::make_unique<TLoggerRequests>(std::move(backend));
    QVERIFY(requestResult(*requests, [](TDeviceLink& link) { return link.LoadHidLibrary() && link.FindAndOpenDevice(); }));
    logger->clearRequests();
}

void LoggerRequestsTest::cleanup()
{
    requests.reset();
    logger.reset();
}

void LoggerRequestsTest::holdTheLoggerThread()
{
    requests->send([this](TDeviceLink&) {
        held.release();
        release.acquire();
    });
    held.acquire();
}

void LoggerRequestsTest::requestsRunOnTheLoggerThreadInOrder()
{
    QList<int> ran;
    QList<int> answered;
    QList<QThread*> threads;
    for (int i = 0; i < 5; ++i) {
        requests->run(
            this,
            [i, &ran, &threads](TDeviceLink& link) {
                // One at a time: nothing else touches these lists meanwhile.
                ran.append(i);
                threads.append(QThread::currentThread());
                return link.ReadRegister(RegDeviceNumber);
            },
            [i, &answered](const std::optional<qint32>& number) {
                QCOMPARE(number, std::optional<qint32>(77));
                answered.append(i);
            });
    }
    QVERIFY(!requests->isIdle());
    QVERIFY(finishLoggerRequests(*requests));
    QCOMPARE(ran, (QList<int>{0, 1, 2, 3, 4}));
    QCOMPARE(answered, ran);
    QCOMPARE(logger->requests().size(), 5);
    for (QThread* thread : threads) {
        QCOMPARE(thread, threads.first());
        QVERIFY(thread != QThread::currentThread());
    }
}

void LoggerRequestsTest::statusLinesComeBeforeTheResultOfTheirRequest()
{
    QStringList events;
    connect(requests.get(), &TLoggerRequests::statusLogged, this,
            [&events](const QString& line) { events.append(line.section(QStringLiteral(" -> "), 1)); });
    connect(requests.get(), &TLoggerRequests::notAnswering, this,
            [&events] { events.append(QStringLiteral("notAnswering")); });
    requests->logStatus(QStringLiteral("first"));
    logger->setFault(SimulatedLogger::Fault::NoReply);
    requests->run(
        this, [](TDeviceLink& link) { return link.ReadRegister(RegDeviceNumber); },
        [&events](const std::optional<qint32>& number) {
            events.append(number ? QStringLiteral("number") : QStringLiteral("no number"));
        });
    QVERIFY(finishLoggerRequests(*requests));
    QCOMPARE(events, (QStringList{QStringLiteral("first"), QString::fromUtf8("ОШИБКА! Прибор не отвечает"),
                                  QStringLiteral("notAnswering"), QStringLiteral("no number")}));
}

void LoggerRequestsTest::aReceiverGoneMeanwhileGetsNothing()
{
    auto receiver = std::make_unique<QObject>();
    bool answered = false;
    holdTheLoggerThread();
    requests->run(receiver.get(), [](TDeviceLink& link) { return link.ReadRegister(RegDeviceNumber); },
                  [&answered](const std::optional<qint32>&) { answered = true; });
    receiver.reset();
    release.release();
    QVERIFY(finishLoggerRequests(*requests));
    QVERIFY(!answered);
    // The request itself ran: only its answer was dropped.
    QCOMPARE(logger->requests().size(), 1);
}

void LoggerRequestsTest::aWaitingWorkerStopsAtOnceAndItsRequestAsksNothing()
{
    holdTheLoggerThread();
    std::atomic<bool> cancelled = false;
    std::atomic<bool> returned = false;
    std::optional<qint32> result = 1;
    std::thread worker([&] {
        result = requests->runWaiting<qint32>(
            [](TDeviceLink& link) { return link.ReadRegister(RegDeviceNumber); }, [&cancelled] { return cancelled.load(); });
        returned = true;
    });
    QTest::qWait(2 * TLoggerRequests::StopCheckMs);
    QVERIFY(!returned);
    cancelled = true;
    // The logger's thread is still held: the worker returns without it.
    QTRY_VERIFY(returned);
    worker.join();
    QCOMPARE(result, std::nullopt);
    release.release();
    // A request asked after the abandoned one runs after it, so by then it has been passed over.
    QVERIFY(requestResult(*requests, [](TDeviceLink& link) { return link.isOpen(); }));
    QVERIFY(logger->requests().isEmpty());

    std::thread answeredWorker([&] {
        result = requests->runWaiting<qint32>([](TDeviceLink& link) { return link.ReadRegister(RegDeviceNumber); },
                                              [] { return false; });
    });
    answeredWorker.join();
    QCOMPARE(result, std::optional<qint32>(77));
}

void LoggerRequestsTest::theEndWaitsForTheRunningRequestAndDropsTheQueued()
{
    // Asked together, so that the logger's thread most likely takes both in one go.
    requests->send([this](TDeviceLink&) {
        held.release();
        release.acquire();
    });
    bool queuedRan = false;
    requests->send([&queuedRan](TDeviceLink&) { queuedRan = true; });
    held.acquire();
    std::thread releaser([this] {
        QThread::msleep(200);
        release.release();
    });
    QElapsedTimer ending;
    ending.start();
    requests.reset();
    const qint64 endedAfter = ending.elapsed();
    releaser.join();
    QVERIFY2(endedAfter >= 150 && endedAfter < TLoggerRequests::ExitWaitMs, qPrintable(QString::number(endedAfter)));
    QVERIFY(!queuedRan);
}

QTEST_GUILESS_MAIN(LoggerRequestsTest)
#include "LoggerRequestsTest.moc"

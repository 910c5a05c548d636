#include "KorviTestMain.h"

#include "LoggerRequestsWait.h"

#include "device/RegisterMap.h"
#include "device/SimulatedBackend.h"
#include "device/SimulatedLogger.h"
#include "device/TDeviceLink.h"
#include "device/TLoggerRequests.h"
#include "shell/TLoggerConnection.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

// The connection object alone, on a simulated logger: what its signals tell
// and when, which is all a window needs to follow the logger.
class LoggerConnectionTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void detectionTellsTheCompletedIdentityOnceAndTheLossOnce();
    void aLoggerThatCannotBeOpenedIsRefusedOncePerEpisode();
    void aSilentLoggerIsNotAnswering();
    void recordCountIsClampedAndAnnouncedOnlyWhenItChanges();
    void testModeIsAnnounced();

private:
    // One detection pass, run to its end.
    void tick();

    QTemporaryDir drive;
    SimulatedBackend* backend = nullptr;
    std::shared_ptr<SimulatedLogger> logger;
    std::unique_ptr<TLoggerConnection> connection;
};

void LoggerConnectionTest::init()
{
    auto simulated = std::make_unique<SimulatedBackend>();
    backend = simulated.get();
    logger = std::make_shared<SimulatedLogger>(drive.path(), QByteArray(160, '\0'));
    connection = std::make_unique<TLoggerConnection>(std::move(simulated));
    connection->start();
}

void LoggerConnectionTest::tick()
{
    connection->Timer1Timer();
    QVERIFY(finishLoggerRequests(connection->requests()));
}

void LoggerConnectionTest::cleanup()
{
    connection.reset();
    logger.reset();
}

void LoggerConnectionTest::detectionTellsTheCompletedIdentityOnceAndTheLossOnce()
{
    QSignalSpy detected(connection.get(), &TLoggerConnection::detected);
    QSignalSpy lost(connection.get(), &TLoggerConnection::lost);
    tick();
    QCOMPARE(lost.size(), 1);

    logger->setRegisterValue(RegDeviceNumber, 45);
    backend->plug(logger);
    tick();
    tick();
    QCOMPARE(detected.size(), 1);
    const auto identity = detected.first().first().value<TDeviceIdentity>();
    QCOMPARE(identity.ExpectedLabel, QStringLiteral("2400045"));
    QCOMPARE(identity.numberText, QStringLiteral("45"));
    QCOMPARE(identity.PublishedSeries, 24);
    QCOMPARE(connection->deviceLabel(), QStringLiteral("2400045"));

    backend->pull(logger);
    tick();
    tick();
    QCOMPARE(lost.size(), 2);
    QCOMPARE(detected.size(), 1);
}

void LoggerConnectionTest::aLoggerThatCannotBeOpenedIsRefusedOncePerEpisode()
{
    QSignalSpy refused(connection.get(), &TLoggerConnection::accessRefused);
    logger->setAccessDenied(true);
    backend->plug(logger);
    tick();
    tick();
    QCOMPARE(refused.size(), 1);
    QCOMPARE(refused.first().at(0).toString(), QStringLiteral("/dev/hidraw-sim0"));
    QCOMPARE(refused.first().at(1).toString(), QStringLiteral("Permission denied"));
}

void LoggerConnectionTest::aSilentLoggerIsNotAnswering()
{
    backend->plug(logger);
    tick();
    QSignalSpy silent(connection.get(), &TLoggerConnection::notAnswering);
    logger->setFault(SimulatedLogger::Fault::NoReply);
    QVERIFY(!requestResult(connection->requests(),
                           [](TDeviceLink& link) { return link.ReadRegister(RegDeviceNumber); }));
    QCOMPARE(silent.size(), 1);
}

void LoggerConnectionTest::recordCountIsClampedAndAnnouncedOnlyWhenItChanges()
{
    QSignalSpy changed(connection.get(), &TLoggerConnection::recordCountChanged);
    QCOMPARE(connection->recordCount(), 0);
    connection->setRecordCount(400);
    connection->setRecordCount(400);
    connection->setRecordCount(qint64(1) << 40);
    connection->setRecordCount(-16);
    QCOMPARE(changed.size(), 3);
    QCOMPARE(changed.at(0).first().toInt(), 400);
    QCOMPARE(changed.at(1).first().toInt(), 4194304);
    QCOMPARE(changed.at(2).first().toInt(), 0);
}

void LoggerConnectionTest::testModeIsAnnounced()
{
    QSignalSpy changed(connection.get(), &TLoggerConnection::testModeChanged);
    connection->toggleTestMode();
    QVERIFY(connection->testMode());
    connection->toggleTestMode();
    QVERIFY(!connection->testMode());
    QCOMPARE(changed.size(), 2);
    QCOMPARE(changed.at(0).first().toBool(), true);
    QCOMPARE(changed.at(1).first().toBool(), false);
}

KORVI_QTEST_MAIN(LoggerConnectionTest)
#include "LoggerConnectionTest.moc"

#include "device/RegisterMap.h"
#include "device/SimulatedLogger.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(SimulatedLogger, DriveFolderLabelAndLogSize)
{
    QTemporaryDir drive;
    const QByteArray log(4096, '\x11');
    SimulatedLogger logger(drive.filePath("KORVI"), log);

    QFile file(QDir(logger.driveFolder()).filePath("data.log"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), log);
    EXPECT_EQ(logger.registerValue(RegLogMemUsed), 4096);
    EXPECT_EQ(logger.registerValue(RegDeviceNumber), 123);
    EXPECT_TRUE(logger.serialNumber().startsWith("18"));
    EXPECT_EQ(logger.volumeLabel(), QStringLiteral("2400123"));

    logger.setRegisterValue(RegDeviceNumber, 4567);
    logger.setSerialNumber("3512");
    EXPECT_EQ(logger.volumeLabel(), QStringLiteral("5304567"));
}

TEST(SimulatedLogger, ChannelsStayPlausibleAndChangeSlowly)
{
    struct Range {
        int channel;
        qint32 low;
        qint32 high;
    };
    const Range ranges[] = {{0, 180, 260}, {1, 350, 650}, {2, 1000, 1030}, {3, 230, 290}};
    constexpr qint64 Step = 2000;
    for (const Range& range : ranges) {
        SCOPED_TRACE(range.channel);
        qint32 previous = SimulatedLogger::channelValue(range.channel, 0);
        qint32 lowest = previous;
        qint32 highest = previous;
        for (qint64 now = Step; now <= 24 * 3600 * 1000LL; now += Step) {
            const qint32 value = SimulatedLogger::channelValue(range.channel, now);
            EXPECT_LE(qAbs(value - previous), 3) << "at " << now << " ms";
            lowest = qMin(lowest, value);
            highest = qMax(highest, value);
            previous = value;
        }
        EXPECT_GE(lowest, range.low);
        EXPECT_LE(highest, range.high);
        EXPECT_GT(highest - lowest, (range.high - range.low) / 3) << "the channel hardly moves";
    }
}

TEST(SimulatedLogger, WritesNeedTheUnlockKeyAndEraseEmptiesTheLog)
{
    QTemporaryDir drive;
    SimulatedLogger logger(drive.path(), QByteArray(320, '\x01'));
    TDeviceReport request;
    const auto send = [&](auto prepare) {
        prepare(request);
        logger.answer(request, 0);
    };
    const auto writeTen = [](qint32 value) {
        return [value](TDeviceReport& r) { r.prepareWriteRegister(RegTempOffset, value); };
    };

    send(writeTen(1));
    EXPECT_EQ(logger.registerValue(RegTempOffset), 5000) << "write outside a transaction";
    send([](TDeviceReport& r) { r.prepareUnlock(); });
    send(writeTen(2));
    EXPECT_EQ(logger.registerValue(RegTempOffset), 2);
    send([](TDeviceReport& r) { r.prepareLock(); });
    send(writeTen(3));
    EXPECT_EQ(logger.registerValue(RegTempOffset), 2) << "write after the lock";

    send([](TDeviceReport& r) { r.prepareEraseLogMemory(); });
    EXPECT_EQ(logger.registerValue(RegLogMemUsed), 0);
    EXPECT_EQ(QFile(QDir(drive.path()).filePath("data.log")).size(), 0);
    EXPECT_EQ(logger.requests().size(), 6);
}

TEST(SimulatedLogger, ClockRunsFromTheLastSetting)
{
    QTemporaryDir drive;
    SimulatedLogger logger(drive.path(), {});
    TDeviceReport request;
    request.prepareSetClock(QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58)));
    logger.answer(request, 10000);
    EXPECT_EQ(logger.clock(13000), QDateTime(QDate(2024, 1, 1), QTime(0, 0, 1)));
}

TEST(SimulatedLogger, FaultsStartAfterTheGivenNumberOfRequests)
{
    QTemporaryDir drive;
    SimulatedLogger logger(drive.path(), {});
    TDeviceReport request;
    request.prepareReadRegister(RegDeviceNumber);

    logger.setFault(SimulatedLogger::Fault::NoReply, 1);
    const SimulatedLogger::Reply first = logger.answer(request, 0);
    ASSERT_EQ(first.bytes.size(), TDeviceReport::Size);
    EXPECT_EQ(quint8(first.bytes[2]), 123);
    EXPECT_EQ(first.delayMs, 0);
    EXPECT_TRUE(logger.answer(request, 0).bytes.isEmpty());

    logger.setFault(SimulatedLogger::Fault::GarbledReply);
    EXPECT_LT(logger.answer(request, 0).bytes.size(), TDeviceReport::Size);

    logger.setFault(SimulatedLogger::Fault::LateReply);
    logger.setLateReplyDelay(2500);
    const SimulatedLogger::Reply late = logger.answer(request, 0);
    EXPECT_EQ(quint8(late.bytes[2]), 123);
    EXPECT_EQ(late.delayMs, 2500);
    EXPECT_EQ(logger.requests().size(), 4);
}

} // namespace

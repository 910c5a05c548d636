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

TEST(ReadingScript, ParsesStepsAndNamesTheLineAtFault)
{
    QString error;
    const std::optional<TReadingScript> script = ParseReadingScript(
        QStringLiteral("# a fridge warms\n0 5.0 45 101.3\n\n600  9,4 45.5 101.3  # the door\n900 silent\n"), &error);
    ASSERT_TRUE(script) << error.toStdString();
    ASSERT_EQ(script->size(), 3u);
    EXPECT_EQ((*script)[1].fromMs, 600000);
    EXPECT_EQ((*script)[1].tenths, (std::array<qint32, 3>{94, 455, 1013}));
    EXPECT_FALSE((*script)[2].tenths);

    const struct {
        const char* text;
        const char* error;
    } refused[] = {
        {"0 5 45", "строка 1: нужны секунды от начала (больше, чем в строке выше), затем температура, влажность и "
                   "давление или silent: 0 5 45"},
        {"10 5 45 100\n10 6 45 100", "строка 2: "},
        {"-1 silent", "строка 1: "},
        {"0 warm 45 100", "строка 1: "},
        {"# nothing\n", "в сценарии нет ни одной строки показаний"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.text);
        EXPECT_FALSE(ParseReadingScript(QString::fromUtf8(c.text), &error));
        EXPECT_TRUE(error.startsWith(QString::fromUtf8(c.error))) << error.toStdString();
    }
}

TEST(SimulatedLogger, LiveChannelsFollowTheScriptFromItsStart)
{
    QTemporaryDir drive;
    SimulatedLogger logger(drive.path(), {});
    QString error;
    logger.setReadingScript(*ParseReadingScript(QStringLiteral("0 5 45 101.3\n60 -2.5 45 101.3\n120 silent"), &error),
                            10000);
    const auto read = [&logger](int channel, qint64 nowMs) -> std::optional<qint32> {
        TDeviceReport request;
        request.prepareReadChannel(quint8(channel));
        const SimulatedLogger::Reply reply = logger.answer(request, nowMs);
        if (reply.bytes.isEmpty())
            return std::nullopt;
        TDeviceReport answer;
        std::copy(reply.bytes.begin(), reply.bytes.end(), answer.bytes().begin());
        return answer.field32(TDeviceReport::ValueOffset);
    };
    EXPECT_EQ(read(0, 9000), SimulatedLogger::channelValue(0, 9000)); // before the script's start: live
    EXPECT_EQ(read(0, 10000), 50);
    EXPECT_EQ(read(2, 69999), 1013);
    EXPECT_EQ(read(0, 70000), -25);
    EXPECT_EQ(read(3, 70000), SimulatedLogger::channelValue(3, 70000)); // the case's channel stays live
    EXPECT_EQ(read(1, 130000), std::nullopt);
    logger.setChannelReading(1, 700);
    EXPECT_EQ(read(1, 130000), 700); // pinned wins
}

} // namespace

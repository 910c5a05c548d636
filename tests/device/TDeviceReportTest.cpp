#include "device/TDeviceReport.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <vector>

namespace {

std::vector<int> bytesOf(const TDeviceReport& report, int first, int last)
{
    return {report.bytes().begin() + first, report.bytes().begin() + last + 1};
}

// A report as it stands after some earlier reply filled every byte.
TDeviceReport afterReply()
{
    TDeviceReport report;
    for (int i = 0; i < TDeviceReport::Size; ++i)
        report.bytes()[i] = quint8(0xE0 + i);
    report.bytes()[0] = 0;
    return report;
}

TEST(TDeviceReport, ReadRegisterSetsOnlyItsOwnBytes)
{
    TDeviceReport report = afterReply();
    report.prepareReadRegister(10);
    EXPECT_EQ(bytesOf(report, 0, 3), (std::vector<int>{0x00, 0x05, 0x0A, 0x00}));
    EXPECT_EQ(bytesOf(report, 4, 9), (std::vector<int>{0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9}));
}

TEST(TDeviceReport, WriteRegisterCarriesTwosComplementValue)
{
    TDeviceReport report = afterReply();
    report.prepareWriteRegister(6, -3);
    EXPECT_EQ(bytesOf(report, 0, 7),
              (std::vector<int>{0x00, 0x06, 0x06, 0x00, 0xFD, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bytesOf(report, 8, 9), (std::vector<int>{0xE8, 0xE9}));
}

TEST(TDeviceReport, ReplyValueIsSignedLittleEndian)
{
    struct Case {
        const char* name;
        std::array<quint8, 4> bytes;
        qint32 value;
    };
    const Case cases[] = {
        {"5000", {0x88, 0x13, 0x00, 0x00}, 5000},
        {"-1", {0xFF, 0xFF, 0xFF, 0xFF}, -1},
        {"int32 min", {0x00, 0x00, 0x00, 0x80}, std::numeric_limits<qint32>::min()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDeviceReport report;
        std::copy(c.bytes.begin(), c.bytes.end(), report.bytes().begin() + 2);
        EXPECT_EQ(report.replyValue(), c.value);
    }
}

TEST(TDeviceReport, SetClockSendsPlainBytesMondayFirst)
{
    TDeviceReport report = afterReply();
    report.prepareSetClock(QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58, 999)));
    EXPECT_EQ(bytesOf(report, 1, 9), (std::vector<int>{8, 58, 59, 23, 7, 31, 12, 23, 0xE9}));

    report.prepareSetClock(QDateTime(QDate(2024, 1, 1), QTime(0, 0, 0)));
    EXPECT_EQ(bytesOf(report, 2, 8), (std::vector<int>{0, 0, 0, 1, 1, 1, 24}));
}

TEST(TDeviceReport, KeyedAndShortCommands)
{
    TDeviceReport report = afterReply();
    report.prepareUnlock();
    EXPECT_EQ(bytesOf(report, 1, 5), (std::vector<int>{3, 0xA4, 0x1C, 0x6E, 0x03}));
    report.prepareLock();
    EXPECT_EQ(bytesOf(report, 1, 5), (std::vector<int>{4, 0x5B, 0xD2, 0x08, 0xC7}));
    report.prepareReadChannel(1);
    EXPECT_EQ(bytesOf(report, 1, 3), (std::vector<int>{2, 1, 0xD2}));
    report.prepareEraseLogMemory();
    EXPECT_EQ(bytesOf(report, 0, 2), (std::vector<int>{0, 9, 1}));
}

} // namespace

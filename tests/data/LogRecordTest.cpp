#include "data/DataTestSupport.h"
#include "data/LogRecord.h"
#include "data/Timestamp.h"

#include <QDateTime>

namespace {

qint64 At(int year, int month, int day, int hour, int minute, int second)
{
    return TimestampSeconds(year, month, day, hour, minute, second);
}

TEST(LogRecord, SampleRecordDecodesExpandsAndDumps)
{
    const TLogRecord record = RecordFromHex(SampleRecordHex);
    ASSERT_TRUE(IsValidRecord(record, TestYear));
    EXPECT_EQ(record.RepeatCount, 3);
    EXPECT_EQ(record.IntervalCode(), 2);
    EXPECT_EQ(record.ChannelMask(), 7);
    EXPECT_EQ(BaseTimestamp(record, TestYear), At(2017, 6, 15, 12, 15, 30));
    EXPECT_EQ(DumpLine(record), "3 2 7 12:15:30 15.6.17 235 456 1013");

    const TExpandedRecord expanded = ExpandRecord(record, TestYear);
    EXPECT_EQ(expanded.repeatCount, 3);
    for (int j = 0; j < 3; ++j) {
        const TRowValues row = expanded.row(j, j + 1);
        EXPECT_EQ(row.time, At(2017, 6, 15, 12, 15, 30 + 5 * j));
        EXPECT_EQ(row.intervalSeconds, 5);
        EXPECT_EQ(row.temperature, 235);
        EXPECT_EQ(row.humidity, 456);
        EXPECT_EQ(row.pressure, 1013);
    }
}

TEST(LogRecord, TimestampMatchesTDateTime)
{
    // TDateTime counts days from 1899-12-30; Qt agrees on the calendar.
    const qint64 t = At(2017, 6, 15, 12, 15, 30);
    EXPECT_EQ(DatePartOf(t), double(QDate(1899, 12, 30).daysTo(QDate(2017, 6, 15))));
    EXPECT_DOUBLE_EQ(TimePartOf(t), (12 * 3600 + 15 * 60 + 30) / 86400.0);
    EXPECT_EQ(DateOf(t), QDate(2017, 6, 15));
    EXPECT_EQ(TimeOf(t), QTime(12, 15, 30));
    EXPECT_EQ(ToDateTime(0), 0.0);
}

TEST(LogRecord, TemperatureOnlyMaskKeepsOtherValuesInTheDump)
{
    const TLogRecord record = WithByte(RecordFromHex(SampleRecordHex), 1, 0x21);
    ASSERT_TRUE(IsValidRecord(record, TestYear));
    const TExpandedRecord expanded = ExpandRecord(record, TestYear);
    EXPECT_EQ(expanded.temperature, 235);
    EXPECT_FALSE(expanded.humidity);
    EXPECT_FALSE(expanded.pressure);
    EXPECT_EQ(DumpLine(record), "3 2 1 12:15:30 15.6.17 235 456 1013");
}

TEST(LogRecord, InvalidFieldsRejectTheRecord)
{
    struct Case {
        const char* name;
        int offset;
        quint8 value;
    };
    const Case cases[] = {
        {"repeat 0", 0, 0x00},   {"mask 8", 1, 0x28},    {"mask 0", 1, 0x20},     {"code 0", 1, 0x07},
        {"code 13", 1, 0xD7},    {"second 60", 2, 60},   {"minute 60", 3, 60},    {"hour 24", 4, 24},
        {"day 0", 5, 0},         {"day 32", 5, 32},      {"month 0", 6, 0},       {"month 13", 6, 13},
        {"year 0", 7, 0},        {"year 100", 7, 100},   {"31 June", 5, 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(IsValidRecord(WithByte(RecordFromHex(SampleRecordHex), c.offset, c.value), TestYear));
    }
    EXPECT_FALSE(IsValidRecord(TLogRecord{}, TestYear)) << "all-zero slot";
}

TEST(LogRecord, DatesMustExist)
{
    struct Case {
        const char* name;
        int day, month, year;
        bool valid;
    };
    const Case cases[] = {
        {"31 February", 31, 2, 24, false}, {"29 February 2023", 29, 2, 23, false},
        {"29 February 2024", 29, 2, 24, true},
        {"30 April", 30, 4, 24, true}, {"31 April", 31, 4, 24, false}, {"31 December", 31, 12, 99, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLogRecord record = RecordFromHex(SampleRecordHex);
        record.Day = quint8(c.day);
        record.Month = quint8(c.month);
        record.Year = quint8(c.year);
        EXPECT_EQ(IsValidRecord(record, TestYear), c.valid);
    }
}

TEST(LogRecord, TwoDigitYearLiesInACenturyAroundTheCurrentYear)
{
    struct Case {
        int twoDigits, currentYear, expected;
    };
    const Case cases[] = {
        {17, 2026, 2017}, {76, 2026, 1976}, {75, 2026, 2075}, {99, 2026, 1999},
        {1, 2026, 2001},  {49, 2000, 2049}, {50, 2000, 1950}, {1, 2099, 2101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.twoDigits << " in " << c.currentYear);
        EXPECT_EQ(FullYear(c.twoDigits, c.currentYear), c.expected);
    }
}

TEST(LogRecord, IntervalCodesMapToSeconds)
{
    const int seconds[] = {0, 1, 5, 10, 30, 60, 300, 600, 1800, 3600, 18000, 36000, 86400, 0, 0, 0};
    for (int code = 0; code < 16; ++code) {
        SCOPED_TRACE(code);
        EXPECT_EQ(IntervalSeconds(code), seconds[code]);
    }
}

TEST(LogRecord, LongIntervalRowsAreExactSeconds)
{
    // Code 10 (5 hours) twice: the second row is exactly 18000 s later.
    const TLogRecord record = WithByte(WithByte(RecordFromHex(SampleRecordHex), 1, 0xA7), 0, 2);
    const TExpandedRecord expanded = ExpandRecord(record, TestYear);
    ASSERT_EQ(expanded.repeatCount, 2);
    EXPECT_EQ(expanded.row(1, 2).time - expanded.row(0, 1).time, 18000);
    EXPECT_EQ(expanded.row(1, 2).intervalSeconds, 18000);
    // 255 daily rows stay on the same time of day: no drift from adding fractions of days.
    const TExpandedRecord daily = ExpandRecord(WithByte(WithByte(record, 1, 0xC7), 0, 255), TestYear);
    EXPECT_EQ(TimeOf(daily.rowTime(254)), QTime(12, 15, 30));
    EXPECT_EQ(DateOf(daily.rowTime(254)), QDate(2017, 6, 15).addDays(254));
}

TEST(LogRecord, NegativeTemperatureIsSigned)
{
    const TLogRecord record = WithByte(WithByte(RecordFromHex(SampleRecordHex), 8, 0x38), 9, 0xFF);
    EXPECT_EQ(record.RawTemperature(), -200);
    EXPECT_EQ(ExpandRecord(record, TestYear).temperature, -200);
    EXPECT_EQ(DumpLine(record), "3 2 7 12:15:30 15.6.17 -200 456 1013");
}

TEST(LogRecord, MakeLogRecordRoundTrips)
{
    const TLogRecord sample = RecordFromHex(SampleRecordHex);
    const TLogRecord rebuilt = MakeLogRecord(3, 0x27, BaseTimestamp(sample, TestYear), 235, 456, 1013);
    EXPECT_EQ(BytesOf({rebuilt}), BytesOf({sample}));
}

} // namespace

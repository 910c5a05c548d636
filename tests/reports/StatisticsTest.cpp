#include "reports/Statistics.h"

#include "data/CellFormatter.h"
#include "data/DataTestSupport.h"
#include "data/MeasurementStore.h"
#include "data/Timestamp.h"

#include <algorithm>
#include <vector>

namespace {

const qint64 Start = TimestampSeconds(2024, 5, 1, 9, 0, 0);

// Interval code 2 (5 s) with the given channel mask.
constexpr int Every5s(int mask)
{
    return 0x20 | mask;
}

struct RecordFields {
    int repeatCount;
    int mask;
    qint16 temperature;
    quint16 humidity;
    quint16 pressure;
};

class StatisticsTest : public RussianLocaleTest
{
protected:
    // Consecutive records, each starting where the previous one's rows end.
    void load(const std::vector<RecordFields>& fields)
    {
        std::vector<TLogRecord> records;
        qint64 time = Start;
        for (const RecordFields& record : fields) {
            records.push_back(MakeLogRecord(record.repeatCount, Every5s(record.mask), time, record.temperature,
                                            record.humidity, record.pressure));
            time += 5 * record.repeatCount;
        }
        store_.showRecords(ListOf(records));
    }

    QStringList texts() const
    {
        return StatisticsTexts(ComputeStatistics(store_), TCellFormatter(store_.loadLocale()));
    }

    TMeasurementStore store_;
};

TEST_F(StatisticsTest, summarisesEveryRowWeightedByItsRecord)
{
    load({{3, 7, 235, 456, 1013}, {1, 7, 201, 500, 1001}, {2, 7, 240, 400, 1020}});
    const QStringList expected{
        QStringLiteral("09:00:00 01.05.2024"), QStringLiteral("09:00:25 01.05.2024"), QStringLiteral("6"),
        // (3 x 23.5 + 20.1 + 2 x 24) / 6 = 23.1
        QStringLiteral("24,0"), QStringLiteral("23,1"), QStringLiteral("20,1"),
        // (3 x 45.6 + 50 + 2 x 40) / 6 = 44.466...
        QStringLiteral("50,0"), QStringLiteral("44,5"), QStringLiteral("40,0"),
        // (3 x 101.3 + 100.1 + 2 x 102) / 6 = 101.33...
        QStringLiteral("102,0"), QStringLiteral("101,3"), QStringLiteral("100,1")};
    EXPECT_EQ(texts(), expected);
}

TEST_F(StatisticsTest, negativeTemperaturesGiveANegativeMaximum)
{
    load({{2, 1, -50, 0, 0}, {1, 1, -123, 0, 0}, {1, 1, -7, 0, 0}});
    const QStringList all = texts();
    // (2 x -5 - 12.3 - 0.7) / 4 = -5.75, four digits "-5,75", one decimal
    EXPECT_EQ(all.mid(3, 3), (QStringList{QStringLiteral("-0,7"), QStringLiteral("-5,8"), QStringLiteral("-12,3")}));
}

TEST_F(StatisticsTest, missingCellsLeaveTheChannelToThePresentRows)
{
    // Humidity only in the first and last records; pressure in none.
    load({{2, 3, 200, 300, 0}, {5, 1, 210, 0, 0}, {2, 3, 220, 500, 0}});
    const TStatistics statistics = ComputeStatistics(store_);
    EXPECT_EQ(statistics.rowCount, 9);
    EXPECT_EQ(statistics.channels[1].presentRows, 4);
    EXPECT_DOUBLE_EQ(*statistics.channels[1].average, 40.0);
    const QStringList all = texts();
    EXPECT_EQ(all.mid(6, 3), (QStringList{QStringLiteral("50,0"), QStringLiteral("40,0"), QStringLiteral("30,0")}));
    EXPECT_EQ(all.mid(9, 3), (QStringList{NoValueText, NoValueText, NoValueText}));
}

TEST_F(StatisticsTest, oneRowIsBothEndsAndItsOwnAverage)
{
    load({{1, 7, 215, 333, 987}});
    const QStringList expected{QStringLiteral("09:00:00 01.05.2024"), QStringLiteral("09:00:00 01.05.2024"),
                               QStringLiteral("1"),
                               QStringLiteral("21,5"), QStringLiteral("21,5"), QStringLiteral("21,5"),
                               QStringLiteral("33,3"), QStringLiteral("33,3"), QStringLiteral("33,3"),
                               QStringLiteral("98,7"), QStringLiteral("98,7"), QStringLiteral("98,7")};
    EXPECT_EQ(texts(), expected);
}

TEST_F(StatisticsTest, noRowsLeaveTheTimesEmptyAndTheValuesUnmeasured)
{
    load({});
    QStringList expected{QString(), QString(), QStringLiteral("0")};
    for (int value = 0; value < 9; ++value)
        expected << NoValueText;
    EXPECT_EQ(texts(), expected);
}

// A full log memory of one value: a 32-bit running sum would drift by whole
// degrees over 66.8 million rows; the exact sum keeps the average on the value.
TEST_F(StatisticsTest, fullLogMemoryAverageStaysExact)
{
    std::vector<RecordFields> fullLog(262144, RecordFields{255, 7, 233, 671, 1013});
    fullLog.back().temperature = 234;
    load(fullLog);
    const TStatistics statistics = ComputeStatistics(store_);
    EXPECT_EQ(statistics.rowCount, 262144LL * 255);
    EXPECT_NEAR(*statistics.channels[0].average, 23.3 + 0.1 / 262144, 1e-9);
    EXPECT_EQ(texts().mid(3, 3), (QStringList{QStringLiteral("23,4"), QStringLiteral("23,3"), QStringLiteral("23,3")}));
}

// The mean is the exact sum of tenths over the count, rounded once to a tenth,
// half away from zero; a value rounded to four digits first lost a tenth.
TEST_F(StatisticsTest, meanIsRoundedOnceFromTheExactSum)
{
    struct Case {
        const char* name;
        std::vector<RecordFields> records;
        QString mean;
    };
    const auto split = [](int lowRows, int highRows, qint16 low, qint16 high) {
        std::vector<RecordFields> records;
        for (; lowRows > 0; lowRows -= 250)
            records.push_back({std::min(lowRows, 250), 1, low, 0, 0});
        for (; highRows > 0; highRows -= 250)
            records.push_back({std::min(highRows, 250), 1, high, 0, 0});
        return records;
    };
    const Case cases[] = {
        {"56.150025", split(1000, 1001, 561, 562), QStringLiteral("56,2")},
        {"exactly 56.15", split(100, 100, 561, 562), QStringLiteral("56,2")},
        {"exactly -56.15", split(100, 100, -561, -562), QStringLiteral("-56,2")},
        {"56.149975", split(1001, 1000, 561, 562), QStringLiteral("56,1")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(c.records);
        EXPECT_EQ(texts().at(4), c.mean);
    }
}

// Pressures of 1000 kPa and more keep four significant digits, rounded once.
TEST_F(StatisticsTest, meanOfAThousandAndMoreKeepsFourDigits)
{
    load({{1, 4, 0, 0, 12345}, {1, 4, 0, 0, 12345}, {2, 4, 0, 0, 12344}});
    // (2 x 1234.5 + 2 x 1234.4) / 4 = 1234.45
    EXPECT_EQ(texts().mid(9, 3), (QStringList{QStringLiteral("1235,0"), QStringLiteral("1234,0"),
                                              QStringLiteral("1234,0")}));
    load({{1, 4, 0, 0, 12345}, {1, 4, 0, 0, 12355}});
    // 1235.0 exactly, and the maximum 1235.5 goes up
    EXPECT_EQ(texts().mid(9, 3), (QStringList{QStringLiteral("1236,0"), QStringLiteral("1235,0"),
                                              QStringLiteral("1235,0")}));
}

TEST(StatisticValueTextTest, roundsOnceToOneDecimal)
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    struct Case {
        double value;
        QLocale locale;
        QString text;
    };
    const Case cases[] = {
        {101.325, russian, QStringLiteral("101,3")},
        {23.46, russian, QStringLiteral("23,5")},
        {5, russian, QStringLiteral("5,0")},
        {5, english, QStringLiteral("5.0")},
        {1234.56, russian, QStringLiteral("1235,0")}, // four digits leave no decimal to show
        {-12.345, russian, QStringLiteral("-12,3")},
        {-12.35, russian, QStringLiteral("-12,4")}, // half away from zero
        {56.150099, russian, QStringLiteral("56,2")},
        {0.04, russian, QStringLiteral("0,0")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(StatisticValueText(c.value, c.locale), c.text);
    }
}

} // namespace

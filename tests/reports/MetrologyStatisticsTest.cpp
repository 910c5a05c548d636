#include "reports/Statistics.h"

#include "data/DataTestSupport.h"
#include "data/MeasurementStore.h"
#include "data/Timestamp.h"
#include "text/FormatLocale.h"

#include <vector>

namespace {

const qint64 Start = TimestampSeconds(2024, 5, 1, 9, 0, 0);

// Interval codes: 2 = 5 s, 5 = 60 s, 6 = 300 s, 9 = 3600 s.
constexpr int Code5s = 2;
constexpr int Code60s = 5;
constexpr int Code300s = 6;
constexpr int Code3600s = 9;
constexpr int AllChannelsMask = 7;
constexpr int NoTemperature = 6;
constexpr int NoPressure = 3;

struct Rows {
    int repeatCount;
    int intervalCode;
    qint16 temperature;
    quint16 humidity = 500;
    int mask = AllChannelsMask;
    quint16 pressure = 1013;
};

class MetrologyStatisticsTest : public RussianLocaleTest
{
protected:
    // Consecutive records, each starting where the previous one's rows end.
    void load(const std::vector<Rows>& fields)
    {
        std::vector<TLogRecord> records;
        qint64 time = Start;
        for (const Rows& rows : fields) {
            records.push_back(MakeLogRecord(rows.repeatCount, rows.intervalCode << 4 | rows.mask, time,
                                            rows.temperature, rows.humidity, rows.pressure));
            time += qint64(rows.repeatCount) * IntervalSeconds(rows.intervalCode);
        }
        store_.showRecords(ListOf(records));
    }

    TMeasurementStore store_;
};

TEST_F(MetrologyStatisticsTest, MeanKineticTemperatureOfHandComputedCases)
{
    struct Case {
        const char* name;
        std::vector<Rows> rows;
        double expected;
    };
    const Case cases[] = {
        {"a constant temperature gives itself", {{7, Code5s, 235}, {3, Code60s, 235}}, 23.5},
        // 10000 K / -ln((e^(-10000/293.15) + e^(-10000/303.15)) / 2) - 273.15
        {"one hour each at 20 and 30 degrees", {{1, Code3600s, 200}, {1, Code3600s, 300}}, 26.26},
        // The same hours, made of rows of other lengths: 12 x 300 s is one hour too.
        {"durations come from interval and repeats", {{12, Code300s, 300}, {60, Code60s, 200}}, 26.26},
        // (3 e^(-10000/293.15) + e^(-10000/303.15)) / 4
        {"three hours at 20, one at 30", {{3, Code3600s, 200}, {1, Code3600s, 300}}, 23.64},
        {"rows without a temperature weigh nothing",
         {{1, Code3600s, 200}, {5, Code3600s, 900, 500, NoTemperature}, {1, Code3600s, 300}},
         26.26},
        // (2 e^(-10000/268.15) + e^(-10000/298.15) + e^(-10000/313.15)) / 4: the warm hours dominate
        {"frost and heat", {{2, Code3600s, -50}, {1, Code3600s, 250}, {1, Code3600s, 400}}, 28.70},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(c.rows);
        const std::optional<double> kinetic = ComputeMetrology(store_).kineticTemperature;
        ASSERT_TRUE(kinetic);
        EXPECT_NEAR(*kinetic, c.expected, 0.005);
    }
}

TEST_F(MetrologyStatisticsTest, NoTemperatureGivesNoMeanKineticTemperature)
{
    load({});
    EXPECT_FALSE(ComputeMetrology(store_).kineticTemperature);
    load({{4, Code5s, 0, 500, NoTemperature}});
    EXPECT_FALSE(ComputeMetrology(store_).kineticTemperature);
}

TEST_F(MetrologyStatisticsTest, ExcursionsCountRunsAndTimeBeyondEachLimit)
{
    // Indexes into ExcursionLimits().
    constexpr size_t tMax = 0; // above 36.9
    constexpr size_t tMin = 1; // below 12.3
    constexpr size_t rhMax = 2; // above 67.4
    struct Case {
        const char* name;
        std::vector<Rows> rows;
        size_t limit;
        TExcursions expected;
    };
    const Case cases[] = {
        {"two crossings, the level itself is not beyond",
         {{2, Code5s, 300}, {3, Code5s, 370}, {1, Code60s, 369}, {1, Code60s, 400}, {4, Code5s, 200}},
         tMax,
         {15 + 60, 2}},
        {"consecutive records beyond make one run",
         {{2, Code5s, 380}, {1, Code60s, 390}, {1, Code5s, 300}, {2, Code300s, 371}, {1, Code5s, 100}},
         tMax,
         {10 + 60 + 600, 2}},
        {"a log that starts beyond", {{5, Code60s, 500}, {3, Code5s, 250}}, tMax, {300, 1}},
        {"a log that ends beyond, its last row counted", {{3, Code5s, 250}, {4, Code60s, 370}}, tMax, {240, 1}},
        {"below a lower limit, strictly", {{1, Code5s, 122}, {1, Code5s, 123}, {2, Code60s, -40}}, tMin, {125, 2}},
        {"a row without the channel ends a run",
         {{1, Code5s, 380}, {1, Code5s, 0, 500, NoTemperature}, {1, Code5s, 380}},
         tMax,
         {10, 2}},
        {"humidity, every row beyond", {{3, Code3600s, 200, 900}}, rhMax, {3 * 3600, 1}},
        {"never beyond", {{100, Code5s, 250}}, tMax, {0, 0}},
        {"no rows", {}, tMin, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(c.rows);
        const TExcursions found = ComputeMetrology(store_).excursions[c.limit];
        EXPECT_EQ(found.seconds, c.expected.seconds);
        EXPECT_EQ(found.count, c.expected.count);
    }
}

// The excursions beyond a level of the given channel and side, found by the
// level rather than by its place among the others; none when no such level is counted.
std::optional<TExcursions> excursionsBeyond(const TMetrology& metrology, TChannelBit channel, bool upper)
{
    const auto levels = ExcursionLimits({});
    for (size_t index = 0; index < levels.size(); ++index) {
        if (levels[index].channel == channel && levels[index].upper == upper)
            return metrology.excursions[index];
    }
    return std::nullopt;
}

TEST_F(MetrologyStatisticsTest, PressureExcursionsCountAgainstThePressureLevels)
{
    // Against the constants: above 106.7 kPa, below 84.0 kPa.
    struct Case {
        const char* name;
        std::vector<Rows> rows;
        TExcursions above;
        TExcursions below;
    };
    const Case cases[] = {
        {"above, twice", {{2, Code5s, 200, 500, AllChannelsMask, 1070}, {1, Code60s, 200, 500, AllChannelsMask, 1013},
                          {3, Code60s, 200, 500, AllChannelsMask, 1100}},
         {10 + 180, 2}, {0, 0}},
        {"below, in one run across records",
         {{1, Code60s, 200, 500, AllChannelsMask, 839}, {2, Code300s, 200, 500, AllChannelsMask, 700}},
         {0, 0}, {60 + 600, 1}},
        {"exactly on the levels is not beyond",
         {{4, Code5s, 200, 500, AllChannelsMask, 1067}, {4, Code5s, 200, 500, AllChannelsMask, 840}},
         {0, 0}, {0, 0}},
        // The pressure field of a record without the channel is no reading.
        {"a log without pressure", {{5, Code60s, 200, 500, NoPressure, 1200}, {5, Code60s, 200, 500, NoPressure, 500}},
         {0, 0}, {0, 0}},
        {"a row without pressure ends a run",
         {{1, Code5s, 200, 500, AllChannelsMask, 1100}, {1, Code5s, 200, 500, NoPressure, 1100},
          {1, Code5s, 200, 500, AllChannelsMask, 1100}},
         {10, 2}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(c.rows);
        const TMetrology metrology = ComputeMetrology(store_);
        const std::optional<TExcursions> above = excursionsBeyond(metrology, ChannelPressure, true);
        const std::optional<TExcursions> below = excursionsBeyond(metrology, ChannelPressure, false);
        ASSERT_TRUE(above && below);
        EXPECT_EQ(above->seconds, c.above.seconds);
        EXPECT_EQ(above->count, c.above.count);
        EXPECT_EQ(below->seconds, c.below.seconds);
        EXPECT_EQ(below->count, c.below.count);
    }
}

TEST(DurationTextTest, HoursAreUnboundedMinutesAndSecondsTwoDigits)
{
    const std::pair<qint64, const char*> cases[] = {
        {0, "0:00:00"}, {5, "0:00:05"}, {3661, "1:01:01"}, {86399, "23:59:59"}, {125 * 3600 + 180, "125:03:00"}};
    for (const auto& [seconds, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(DurationText(seconds), QString::fromUtf8(text));
    }
}

TEST_F(MetrologyStatisticsTest, LinesNameTheChartLimitsAndShowTheirFigures)
{
    const QStringList captions{QStringLiteral("Средняя кинетическая температура, *С"),
                               QStringLiteral("Время выше 36,9 *С"),  QStringLiteral("Выходов выше 36,9 *С"),
                               QStringLiteral("Время ниже 12,3 *С"),  QStringLiteral("Выходов ниже 12,3 *С"),
                               QStringLiteral("Время выше 67,4 %"),   QStringLiteral("Выходов выше 67,4 %"),
                               QStringLiteral("Время ниже 21,6 %"),   QStringLiteral("Выходов ниже 21,6 %"),
                               QStringLiteral("Время выше 106,7 кПа"), QStringLiteral("Выходов выше 106,7 кПа"),
                               QStringLiteral("Время ниже 84,0 кПа"),  QStringLiteral("Выходов ниже 84,0 кПа")};
    EXPECT_EQ(MetrologyCaptions(QLocale(QLocale::Russian, QLocale::Russia)), captions);

    load({{1, Code3600s, 200, 100, AllChannelsMask, 800}, {1, Code3600s, 300, 700}, {2, Code60s, 380, 700}});
    const QStringList texts = MetrologyTexts(store_, store_.loadLocale());
    const QStringList expected{QStringLiteral("26,6"), // two minutes at 38 lift the 26.26 of the hours
                               QStringLiteral("0:02:00"), QStringLiteral("1"),
                               QStringLiteral("0:00:00"), QStringLiteral("0"),
                               QStringLiteral("1:02:00"), QStringLiteral("1"),
                               QStringLiteral("1:00:00"), QStringLiteral("1"),
                               QStringLiteral("0:00:00"), QStringLiteral("0"),
                               QStringLiteral("1:00:00"), QStringLiteral("1")};
    EXPECT_EQ(texts, expected);

    load({});
    EXPECT_EQ(MetrologyTexts(store_, store_.loadLocale()).first(), NoValueText);
}

} // namespace

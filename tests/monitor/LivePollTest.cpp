#include "monitor/TLivePoll.h"

#include <gtest/gtest.h>

namespace {

const QLocale Russian(QLocale::Russian, QLocale::Russia);

TEST(LivePoll, RangeRuleKeepsTheLastAcceptedReadingOfEachChannel)
{
    struct Step {
        std::array<qint32, 4> raw;
        double humidity;
        double temperature;
    };
    // Channel 0 is the temperature, 1 the humidity, both in tenths.
    const Step steps[] = {
        {{215, 1001, 5, 7}, 0.0, 21.5},      // a first humidity out of range shows 0
        {{1000, 0, 5, 7}, 0.0, 100.0},       // both ends of the range are accepted
        {{-50, 455, -1, 2000}, 45.5, 100.0}, // -5.0 degrees is replaced by the last accepted
        {{1001, -1, 3, 4}, 45.5, 100.0},
        {{0, 1000, 3, 4}, 100.0, 0.0},
    };
    TLivePoll poll;
    int index = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(index++);
        const TLiveReading reading = poll.accept(step.raw);
        EXPECT_DOUBLE_EQ(reading.humidity, step.humidity);
        EXPECT_DOUBLE_EQ(reading.temperature, step.temperature);
    }
    EXPECT_EQ(poll.LastChannelValue(), (std::array<qint32, 4>{0, 1000, 3, 4}));
}

TEST(LivePoll, TextsAreTheShortestFormWithTheLocaleSeparator)
{
    struct Case {
        double value;
        const char* humidity;
        const char* temperature;
    };
    const Case cases[] = {
        {100.0, "RH 100 %", "t 100 °C"},
        {0.0, "RH 0 %", "t 0 °C"},
        {45.5, "RH 45,5 %", "t 45,5 °C"},
        {23.1, "RH 23,1 %", "t 23,1 °C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(TLivePoll::humidityText(c.value, Russian), QString::fromUtf8(c.humidity));
        EXPECT_EQ(TLivePoll::temperatureText(c.value, Russian), QString::fromUtf8(c.temperature));
    }
    EXPECT_EQ(TLivePoll::humidityText(45.5, QLocale::c()), QStringLiteral("RH 45.5 %"));
}

TEST(LivePoll, TenthsBecomeValuesWithoutRepresentationNoise)
{
    TLivePoll poll;
    for (qint32 tenths = 0; tenths <= 1000; ++tenths) {
        const TLiveReading reading = poll.accept({tenths, tenths, 0, 0});
        EXPECT_EQ(TLivePoll::humidityText(reading.humidity, QLocale::c()),
                  QStringLiteral("RH %1 %").arg(QLocale::c().toString(tenths / 10.0, 'g', QLocale::FloatingPointShortest)));
    }
}

}  // namespace

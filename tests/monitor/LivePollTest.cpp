#include "monitor/TLivePoll.h"

#include <gtest/gtest.h>

namespace {

const QLocale Russian(QLocale::Russian, QLocale::Russia);

TEST(LivePoll, RangeRuleKeepsTheLastAcceptedReadingOfEachChannel)
{
    using Tenths = std::array<std::optional<int>, 3>;
    struct Step {
        std::array<qint32, 4> raw;
        double humidity;
        double temperature;
        Tenths measured; // temperature, humidity, pressure
    };
    // Channel 0 is the temperature, 1 the humidity, 2 the pressure, in tenths.
    const Step steps[] = {
        {{215, 1001, 1013, 7}, 0.0, 21.5, {215, std::nullopt, 1013}},     // a first humidity out of range shows 0
        {{1000, 0, 2000, 7}, 0.0, 100.0, {1000, 0, 2000}},      // the highest ends are accepted
        {{-50, 455, -1, 2000}, 45.5, -5.0, {-50, 455, std::nullopt}},     // below zero is a fridge's reading
        {{-400, 455, 0, 3}, 45.5, -40.0, {-400, 455, 0}},       // the lowest ends too
        {{-401, -1, 2001, 4}, 45.5, -40.0, Tenths{}},           // beyond them: the last accepted, nothing measured
        {{1001, 1000, 5, 4}, 100.0, -40.0, {std::nullopt, 1000, 5}},
    };
    TLivePoll poll;
    int index = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(index++);
        const TLiveReading reading = poll.accept(step.raw);
        EXPECT_DOUBLE_EQ(reading.humidity, step.humidity);
        EXPECT_DOUBLE_EQ(reading.temperature, step.temperature);
        EXPECT_EQ(reading.measuredTenths, step.measured);
    }
    EXPECT_EQ(poll.LastChannelValue(), (std::array<qint32, 4>{-400, 1000, 5, 4}));
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

#include "monitor/AlarmTexts.h"
#include "monitor/TAlarmWatch.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

const QLocale Russian(QLocale::Russian, QLocale::Russia);
// 2,0…8,0 °C, 30…60 %, 95…105 kPa.
const TUserLimits Fridge{20, 80, 300, 600, 950, 1050};
const QDateTime Base(QDate(2026, 12, 11), QTime(14, 0, 0));

QDateTime at(int seconds)
{
    return Base.addSecs(seconds);
}

TLiveMeasurement reading(int seconds, std::optional<int> temperature, std::optional<int> humidity = 450,
                         std::optional<int> pressure = 1000)
{
    return {at(seconds), {temperature, humidity, pressure}};
}

TLiveMeasurement silence(int seconds)
{
    return {at(seconds), {}};
}

using Kinds = std::vector<TAlarmNoticeKind>;

Kinds kindsOf(const std::vector<TAlarmNotice>& notices)
{
    Kinds kinds;
    for (const TAlarmNotice& notice : notices)
        kinds.push_back(notice.kind);
    return kinds;
}

// Feeds the watch one measurement every `step` seconds from `from` up to `to`, keeping every notice.
struct Feed {
    TAlarmWatch watch;
    std::vector<TAlarmNotice> notices;

    explicit Feed(TAlarmSettings settings = {}) : watch(settings) {}

    void run(int from, int to, int step, std::optional<int> temperature)
    {
        for (int second = from; second <= to; second += step)
            take(temperature ? reading(second, temperature) : silence(second));
    }
    void take(const TLiveMeasurement& measurement)
    {
        for (TAlarmNotice& notice : watch.take(measurement, Fridge))
            notices.push_back(notice);
    }
};

using K = TAlarmNoticeKind;

TEST(AlarmWatch, ReadingBeyondALimitForTheDelayStartsAnAlarmThatEndsWhenItIsBack)
{
    struct Case {
        const char* name;
        int beyondFor; // seconds the temperature stays at 9,4 °C
        Kinds expected;
    };
    const Case cases[] = {
        {"shorter than the delay", 298, {}},
        {"as long as the delay", 300, {K::Start, K::End}},
        {"longer", 600, {K::Start, K::End}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Feed feed;
        feed.run(0, 10, 2, 50);
        feed.run(12, 10 + c.beyondFor, 2, 94);
        feed.take(reading(12 + c.beyondFor, 98)); // the extreme, the last reading beyond
        feed.run(14 + c.beyondFor, 30 + c.beyondFor, 2, 79);
        EXPECT_EQ(kindsOf(feed.notices), c.expected);
        if (c.expected.empty())
            continue;
        const TAlarmNotice& start = feed.notices[0];
        EXPECT_EQ(start.at, at(312));
        EXPECT_EQ(start.alarm.since, at(12));
        EXPECT_EQ(start.alarm.startValue, c.beyondFor == 300 ? 98 : 94);
        EXPECT_EQ(start.alarm.limit, 80);
        EXPECT_EQ(start.alarm.slot, 0);
        const TAlarmNotice& end = feed.notices[1];
        EXPECT_EQ(end.at, at(14 + c.beyondFor));
        EXPECT_EQ(end.alarm.extreme, 98);
        EXPECT_EQ(end.alarm.value, 79);
        EXPECT_TRUE(feed.watch.standing().empty());
    }
}

TEST(AlarmWatch, NoDelayRaisesAtOnceAndEachLimitOfEachChannelIsItsOwnAlarm)
{
    Feed feed(TAlarmSettings{.delaySeconds = 0});
    feed.take(reading(0, 10, 650, 1060)); // too cold, too damp, too high
    ASSERT_EQ(kindsOf(feed.notices), (Kinds{K::Start, K::Start, K::Start}));
    const std::vector<TAlarm> standing = feed.watch.standing();
    ASSERT_EQ(standing.size(), 3u);
    EXPECT_EQ(standing[0].cause, TAlarmCause::Below);
    EXPECT_EQ(AlarmStatusText(standing, Base.date(), Russian),
              QStringLiteral("ТРЕВОГА: t = 1,0 °C ниже 2,0 °C с 14:00:00; RH = 65,0 % выше 60,0 % с 14:00:00; "
                             "p = 106,0 кПа выше 105,0 кПа с 14:00:00"));

    feed.take(reading(2, 50, 650, 1000));
    EXPECT_EQ(kindsOf(feed.notices), (Kinds{K::Start, K::Start, K::Start, K::End, K::End}));
    EXPECT_EQ(feed.watch.standing().size(), 1u);
}

TEST(AlarmWatch, ChannelMissingFromACycleNeitherStartsNorEndsAnAlarm)
{
    Feed feed(TAlarmSettings{.delaySeconds = 10});
    feed.take(reading(0, 94));
    feed.take(reading(5, std::nullopt));
    feed.take(reading(12, std::nullopt)); // past the delay, but nothing read of the channel
    EXPECT_TRUE(feed.notices.empty());
    feed.take(reading(14, 95));
    ASSERT_EQ(kindsOf(feed.notices), (Kinds{K::Start}));
    EXPECT_EQ(feed.notices[0].alarm.since, at(0));
    feed.take(reading(16, std::nullopt));
    EXPECT_EQ(feed.watch.standing().size(), 1u);
}

TEST(AlarmWatch, SilentLoggerForTheDelayIsAnAlarmUntilItAnswers)
{
    Feed feed(TAlarmSettings{.delaySeconds = 60});
    feed.run(0, 4, 2, 50);
    feed.run(6, 64, 2, std::nullopt);
    EXPECT_TRUE(feed.notices.empty());
    feed.take(silence(66)); // 60 s after the first silent cycle
    ASSERT_EQ(kindsOf(feed.notices), (Kinds{K::Start}));
    EXPECT_EQ(feed.notices[0].alarm.cause, TAlarmCause::Silent);
    EXPECT_EQ(feed.notices[0].at, at(66));
    EXPECT_EQ(AlarmStatusText(feed.watch.standing(), Base.date(), Russian),
              QStringLiteral("ТРЕВОГА: нет данных от прибора с 14:00:06"));
    feed.take(reading(70, 50));
    EXPECT_EQ(kindsOf(feed.notices), (Kinds{K::Start, K::End}));
    EXPECT_EQ(AlarmNoticeDetail(feed.notices[1], 60, Russian),
              QStringLiteral("нет данных от прибора с 14:00:06 закончилась в 14:01:10: длительность 0:01:04"));
}

TEST(AlarmWatch, UnacknowledgedAlarmRepeatsUntilAcknowledged)
{
    Feed feed(TAlarmSettings{.delaySeconds = 0, .repeatMinutes = 15});
    feed.run(0, 45 * 60, 30, 94);
    EXPECT_EQ(kindsOf(feed.notices), (Kinds{K::Start, K::Repeat, K::Repeat, K::Repeat}));
    EXPECT_EQ(feed.notices[3].at, at(45 * 60));
    EXPECT_TRUE(feed.watch.unacknowledged());

    const std::vector<TAlarmNotice> acknowledged = feed.watch.acknowledge(at(45 * 60 + 10), QStringLiteral("Дверь закрыта"));
    ASSERT_EQ(kindsOf(acknowledged), (Kinds{K::Acknowledge}));
    EXPECT_EQ(acknowledged[0].comment, QStringLiteral("Дверь закрыта"));
    EXPECT_FALSE(feed.watch.unacknowledged());
    EXPECT_TRUE(feed.watch.acknowledge(at(45 * 60 + 20), QStringLiteral("ещё")).empty());
    EXPECT_EQ(AlarmStatusText(feed.watch.standing(), Base.date(), Russian),
              QStringLiteral("ТРЕВОГА: t = 9,4 °C выше 8,0 °C с 14:00:00 (подтверждена)"));

    feed.notices.clear();
    feed.run(45 * 60 + 30, 90 * 60, 30, 94);
    EXPECT_TRUE(feed.notices.empty());
    // A new excursion after the end is a new alarm, to be acknowledged again.
    feed.take(reading(90 * 60 + 30, 50));
    feed.take(reading(90 * 60 + 60, 95));
    EXPECT_EQ(kindsOf(feed.notices), (Kinds{K::End, K::Start}));
    EXPECT_TRUE(feed.watch.unacknowledged());
}

TEST(AlarmWatch, SettingsAndStoppingEndStandingAlarms)
{
    Feed feed(TAlarmSettings{.delaySeconds = 0});
    feed.take(reading(0, 94, 650));
    TAlarmSettings noHumidity{.delaySeconds = 0};
    noHumidity.watched[1] = false;
    const std::vector<TAlarmNotice> unwatched = feed.watch.setSettings(noHumidity, at(5));
    ASSERT_EQ(kindsOf(unwatched), (Kinds{K::End}));
    EXPECT_EQ(unwatched[0].alarm.slot, 1);
    feed.take(reading(10, 94, 700));
    EXPECT_EQ(feed.watch.standing().size(), 1u);

    const std::vector<TAlarmNotice> stopped = feed.watch.stop(at(20), QStringLiteral("наблюдение остановлено"));
    ASSERT_EQ(kindsOf(stopped), (Kinds{K::End}));
    EXPECT_EQ(AlarmNoticeDetail(stopped[0], 0, Russian),
              QStringLiteral("t выше 8,0 °C с 14:00:00 закончилась в 14:00:20: длительность 0:00:20, "
                             "экстремум 9,4 °C, наблюдение остановлено"));
    EXPECT_TRUE(feed.watch.standing().empty());

    feed.watch.setSettings(TAlarmSettings{.enabled = false}, at(30));
    feed.take(reading(40, 150));
    EXPECT_TRUE(feed.watch.standing().empty());
}

TEST(AlarmTexts, TrailKeepsWhatHappenedToEachAlarm)
{
    Feed feed(TAlarmSettings{.delaySeconds = 300});
    feed.run(0, 300, 60, 94);
    feed.take(reading(330, 101));
    const TAlarmNotice start = feed.notices.at(0);
    const TAlarmNotice acknowledge = feed.watch.acknowledge(at(400), QStringLiteral("Открыта дверь")).at(0);
    feed.take(reading(2000, 79));
    const TAlarmNotice end = feed.notices.at(1);
    struct Case {
        const TAlarmNotice& notice;
        const char* detail;
        const char* title;
    };
    const Case cases[] = {
        {start, "t = 9,4 °C выше 8,0 °C с 14:00:00; задержка 300 с", "ТРЕВОГА: прибор № 2400123"},
        {acknowledge, "t выше 8,0 °C с 14:00:00; комментарий: Открыта дверь", "ТРЕВОГА подтверждена: прибор № 2400123"},
        {end, "t выше 8,0 °C с 14:00:00 закончилась в 14:33:20: t = 7,9 °C, длительность 0:33:20, экстремум 10,1 °C",
         "Норма восстановлена: прибор № 2400123"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AlarmNoticeDetail(c.notice, 300, Russian), QString::fromUtf8(c.detail));
        EXPECT_EQ(AlarmNoticeTitle(c.notice, QStringLiteral("2400123")), QString::fromUtf8(c.title));
    }
    EXPECT_EQ(AlarmRestoredText(at(2000), Base.date(), Russian), QStringLiteral("Норма восстановлена в 14:33:20"));
    EXPECT_EQ(AlarmRestoredText(at(2000), Base.date().addDays(1), Russian),
              QStringLiteral("Норма восстановлена в 11.12.2026 14:33:20"));
}

} // namespace

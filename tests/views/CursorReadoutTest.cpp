#include "views/ChartPauses.h"
#include "views/CursorReadout.h"

#include <gtest/gtest.h>

namespace {

double indexAsX(qint64 index)
{
    return double(index);
}

// 101 points, the window [0, 25] and a left axis of 0..100.
TReadoutScene sceneAt(double x, double y = 50)
{
    TReadoutScene scene;
    scene.x = x;
    scene.y = y;
    scene.bottom = {0, 25};
    scene.left = {0, 100};
    scene.humidityPoints = scene.temperaturePoints = {0, 100};
    scene.humidityVisible = scene.temperatureVisible = {0, 25};
    return scene;
}

TEST(CursorReadoutTest, NamesTheNearestVisiblePointAndKeepsTheLowerOnATie)
{
    struct Case {
        double x;
        qint64 point;
    };
    const Case cases[] = {{10.4, 10}, {10.6, 11}, {10.5, 10}, {0.2, 0}, {24.9, 25}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(CursorReadout::readoutPoint(sceneAt(c.x), indexAsX), c.point);
    }
}

TEST(CursorReadoutTest, WalksOnlyInsideTheVisiblePoints)
{
    // The axis starts at 40.6, so the walk from 40 may step right but never
    // below the first visible point 41.
    EXPECT_EQ(CursorReadout::nearestPoint(40.7, {41, 65}, indexAsX), 41);
    EXPECT_EQ(CursorReadout::nearestPoint(64.8, {41, 65}, indexAsX), 65);
    // Unequally spaced x values: step 2 and the walk corrects the start.
    const auto doubled = [](qint64 index) { return 2.0 * double(index); };
    EXPECT_EQ(CursorReadout::nearestPoint(9.2, {0, 10}, doubled), 5);
}

TEST(CursorReadoutTest, ShowsNothingOutsideTheData)
{
    struct Case {
        const char* name;
        TReadoutScene scene;
    };
    TReadoutScene empty = sceneAt(10);
    empty.humidityPoints = {};
    TReadoutScene onePointShown = sceneAt(10);
    onePointShown.temperatureVisible = {10, 10};
    TReadoutScene pastTheSeries = sceneAt(10);
    pastTheSeries.bottom = {0, 200};
    pastTheSeries.x = 100;
    const Case cases[] = {
        {"at 0", sceneAt(0)},
        {"below 0", sceneAt(-1)},
        {"at the last point", pastTheSeries},
        {"at the axis maximum", sceneAt(25)},
        {"above the left axis", sceneAt(10, 100)},
        {"below the left axis", sceneAt(10, -0.5)},
        {"humidity without points", empty},
        {"one visible temperature point", onePointShown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(CursorReadout::readoutPoint(c.scene, indexAsX));
    }
}

TEST(CursorReadoutTest, WritesTheMomentAndThreeValuesWithTheLocaleSeparator)
{
    struct Case {
        const char* name;
        QLocale locale;
        std::optional<double> pressure;
        const char* text;
    };
    const Case cases[] = {
        {"point", QLocale::c(), 99.8, "05.04.2017 14:00:00\nRH = 45.3%\nt = 21.5*C\nP = 99.8кПа"},
        {"comma", QLocale(QLocale::Russian, QLocale::Russia), 101.3,
         "05.04.2017 14:00:00\nRH = 45,3%\nt = 21,5*C\nP = 101,3кПа"},
        {"no pressure", QLocale::c(), std::nullopt, "05.04.2017 14:00:00\nRH = 45.3%\nt = 21.5*C\nP = — кПа"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CursorReadout::readoutText(QStringLiteral("05.04.2017 14:00:00"), 45.3, 21.5, c.pressure, c.locale),
                  QString::fromUtf8(c.text));
    }
}

TEST(ChartPausesTest, APauseIsAStepLongerThanEitherIntervalOrBackwards)
{
    struct Case {
        const char* name;
        qint64 earlier;
        int earlierInterval;
        qint64 later;
        int laterInterval;
        bool pause;
    };
    const Case cases[] = {
        {"one interval on", 100, 10, 110, 10, false},
        {"a second late", 100, 10, 111, 10, true},
        {"the longer interval of the two counts", 100, 60, 160, 10, false},
        {"same moment", 100, 10, 100, 10, false},
        {"clock set back", 100, 10, 90, 10, true},
        {"a day off", 100, 3600, 100 + 86400, 3600, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChartPauses::isPause(c.earlier, c.earlierInterval, c.later, c.laterInterval), c.pause);
    }
}

} // namespace

#include "chart/TChartModel.h"
#include "chart/TListSeriesSource.h"

#include <gtest/gtest.h>

namespace {

TListSeriesSource makeSource(std::initializer_list<std::optional<double>> values, qint64 capacity = 0)
{
    TListSeriesSource source(capacity);
    int n = 0;
    for (const std::optional<double>& value : values)
        source.append(value, value ? QStringLiteral("t%1\rd").arg(n++) : QString());
    return source;
}

TChartSeriesStyle styleOn(TChartAxisSide side)
{
    TChartSeriesStyle style;
    style.axis = side;
    return style;
}

} // namespace

TEST(ChartModel, BottomAxisIsAutomaticOverShownSeriesUntilTheProgramSetsIt)
{
    const TListSeriesSource shortSeries = makeSource({1, 2, 3});
    const TListSeriesSource longSeries = makeSource({1, 2, 3, 4, 5, 6});
    TChartModel model;
    model.addSeries(styleOn(TChartAxisSide::Left), &shortSeries);
    const int longIndex = model.addSeries(styleOn(TChartAxisSide::Left), &longSeries);
    EXPECT_TRUE(model.isBottomAutomatic());
    EXPECT_EQ(model.bottomRange(), (TChartRange{0, 5}));
    model.setSeriesVisible(longIndex, false);
    EXPECT_EQ(model.bottomRange(), (TChartRange{0, 2}));

    EXPECT_TRUE(model.setBottomRange({1, 1}));
    EXPECT_FALSE(model.isBottomAutomatic());
    EXPECT_FALSE(model.setBottomRange({4, 3}));
    EXPECT_EQ(model.bottomRange(), (TChartRange{1, 1}));
    model.setBottomAutomatic();
    EXPECT_EQ(model.bottomRange(), (TChartRange{0, 2}));
}

TEST(ChartModel, ValueAxesFitTheirShownSeriesOverTheVisiblePointsOnly)
{
    const TListSeriesSource humidity = makeSource({40, 45, std::nullopt, 60, 80});
    const TListSeriesSource temperature = makeSource({20, 21, 22, 23, 24});
    const TListSeriesSource pressure = makeSource({99.5, 100.5, 101, std::nullopt, 98});
    TChartModel model;
    model.addSeries(styleOn(TChartAxisSide::Left), &humidity);
    const int t = model.addSeries(styleOn(TChartAxisSide::Left), &temperature);
    model.addSeries(styleOn(TChartAxisSide::Right), &pressure);

    const struct {
        const char* name;
        TChartRange bottom;
        bool temperatureShown;
        TChartRange left;
        TChartRange right;
    } cases[] = {
        {"all points", {0, 4}, true, {20, 80}, {98, 101}},
        {"first three", {0, 2}, true, {20, 45}, {99.5, 101}},
        {"fractional window", {0.5, 3.5}, true, {21, 60}, {100.5, 101}},
        {"temperature hidden", {0, 2}, false, {40, 45}, {99.5, 101}},
        {"only a null point on the right", {2.8, 3.2}, true, {23, 60}, {0, 1}},
        {"single values get room", {1.8, 2.2}, true, {21, 23}, {100, 102}},
        {"window beyond the data", {10, 20}, true, {0, 1}, {0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        model.setBottomRange(c.bottom);
        model.setSeriesVisible(t, c.temperatureShown);
        EXPECT_EQ(model.verticalRange(TChartAxisSide::Left), c.left);
        EXPECT_EQ(model.verticalRange(TChartAxisSide::Right), c.right);
    }
}

TEST(ChartModel, FixedLeftAxisStaysWhateverTheData)
{
    const TListSeriesSource humidity = makeSource({140, -5});
    TChartModel model;
    model.addSeries(styleOn(TChartAxisSide::Left), &humidity);
    EXPECT_FALSE(model.setLeftRange({100, 0}));
    ASSERT_TRUE(model.setLeftRange({0, 100}));
    EXPECT_EQ(model.verticalRange(TChartAxisSide::Left), (TChartRange{0, 100}));
    model.setLeftAutomatic();
    EXPECT_EQ(model.verticalRange(TChartAxisSide::Left), (TChartRange{-5, 140}));
}

TEST(ChartModel, VisibleSpansFollowTheBottomAxisAndTheKeptIndices)
{
    // A capped live series: indices 3..6 are kept.
    const TListSeriesSource live = makeSource({1, 2, 3, 4, 5, 6, 7}, 4);
    const TListSeriesSource other = makeSource({1, 2});
    TChartModel model;
    const int l = model.addSeries(styleOn(TChartAxisSide::Left), &live);
    const int o = model.addSeries(styleOn(TChartAxisSide::Left), &other);
    EXPECT_EQ(model.bottomRange(), (TChartRange{0, 6}));
    model.setBottomRange({0.5, 5.5});
    EXPECT_EQ(model.visibleSpan(l), (TIndexSpan{3, 5}));
    EXPECT_EQ(model.visibleSpan(o), (TIndexSpan{1, 1}));
    EXPECT_EQ(model.visibleSpan(), (TIndexSpan{1, 5}));
    model.setBottomRange({10, 12});
    EXPECT_TRUE(model.visibleSpan(l).isEmpty());
    EXPECT_TRUE(model.visibleSpan().isEmpty());
}

TEST(ChartModel, LabelComesFromTheFirstShownSeriesThatHasOne)
{
    const TListSeriesSource pressure = makeSource({std::nullopt, 100});
    const TListSeriesSource temperature = makeSource({21, 22});
    TChartModel model;
    const int p = model.addSeries(styleOn(TChartAxisSide::Right), &pressure);
    model.addSeries(styleOn(TChartAxisSide::Left), &temperature);
    EXPECT_EQ(model.labelAt(0), QStringLiteral("t0\rd"));
    EXPECT_EQ(model.labelAt(1), QStringLiteral("t0\rd"));
    model.setSeriesVisible(p, false);
    EXPECT_EQ(model.labelAt(1), QStringLiteral("t1\rd"));
    EXPECT_EQ(model.labelAt(7), QString());
}

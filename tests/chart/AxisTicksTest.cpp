#include "chart/AxisTicks.h"
#include "chart/TAxisMapping.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(AxisTicks, NiceStepIsTheSmallestOneTwoFiveNotBelowRaw)
{
    const struct {
        double raw;
        double step;
    } cases[] = {{1, 1}, {1.01, 2}, {3, 5}, {7, 10}, {0.3, 0.5}, {0.12, 0.2}, {45, 50}, {2000, 2000}, {0, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_DOUBLE_EQ(NiceStep(c.raw), c.step);
    }
}

TEST(AxisTicks, ValueTicksLieInsideTheRangeOnMultiplesOfTheStepAndFarEnoughApart)
{
    const struct {
        const char* name;
        TChartRange range;
        double pixels;
        double step;
        int decimals;
    } cases[] = {
        {"temperatures", {12.3, 67.4}, 400, 5, 0},
        {"monitor axis", {0, 100}, 600, 5, 0},
        {"narrow", {21.5, 21.9}, 300, 0.05, 2},
        {"negative", {-7.5, 3.2}, 200, 2, 0},
        {"pressure", {99.1, 101.7}, 600, 0.2, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TValueTicks ticks = PlanValueTicks(c.range, c.pixels, 30);
        EXPECT_DOUBLE_EQ(ticks.step, c.step);
        EXPECT_EQ(ticks.decimals, c.decimals);
        ASSERT_FALSE(ticks.values.empty());
        EXPECT_GE(ticks.step * c.pixels / c.range.span(), 30);
        for (double value : ticks.values) {
            EXPECT_GE(value, c.range.min - 1e-9);
            EXPECT_LE(value, c.range.max + 1e-9);
            EXPECT_NEAR(value / ticks.step, std::round(value / ticks.step), 1e-6);
        }
        // No multiple of the step inside the range is left out.
        EXPECT_LT(ticks.values.front() - ticks.step, c.range.min);
        EXPECT_GT(ticks.values.back() + ticks.step, c.range.max);
    }
}

TEST(AxisTicks, NoValueTicksWithoutRoom)
{
    EXPECT_TRUE(PlanValueTicks({5, 5}, 300, 30).values.empty());
    EXPECT_TRUE(PlanValueTicks({0, 10}, 0, 30).values.empty());
}

TEST(AxisTicks, PointLabelsNeverOverlapAndStayOnTheirPointsWhilePanning)
{
    const struct {
        const char* name;
        TIndexSpan visible;
        double pixelsPerPoint;
        double labelWidth;
        qint64 step;
    } cases[] = {
        {"sparse points", {0, 25}, 40, 60, 2},
        {"one label per point", {3, 9}, 100, 60, 1},
        {"thousand points", {500, 1500}, 1.2, 70, 100},
        {"whole log", {0, 66'846'719}, 1200.0 / 66'846'720, 70, 5'000'000},
        {"live chart", {-141, 9}, 8, 70, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TLabelTicks ticks = PlanLabelTicks(c.visible, c.pixelsPerPoint, c.labelWidth);
        EXPECT_EQ(ticks.step, c.step);
        ASSERT_FALSE(ticks.indices.empty());
        for (size_t i = 0; i < ticks.indices.size(); ++i) {
            EXPECT_TRUE(c.visible.contains(ticks.indices[i]));
            EXPECT_EQ(ticks.indices[i] % ticks.step, 0);
            if (i > 0) {
                EXPECT_GE(double(ticks.indices[i] - ticks.indices[i - 1]) * c.pixelsPerPoint, c.labelWidth);
            }
        }
        EXPECT_LT(ticks.indices.front() - ticks.step, c.visible.first);
        // Panning by a few points keeps the labels that stay visible.
        const TLabelTicks panned = PlanLabelTicks({c.visible.first + 3, c.visible.last + 3}, c.pixelsPerPoint,
                                                  c.labelWidth);
        EXPECT_EQ(panned.step, ticks.step);
    }
    EXPECT_TRUE(PlanLabelTicks({}, 10, 60).indices.empty());
}

TEST(AxisMapping, PixelsAndValuesConvertBothWays)
{
    const struct {
        const char* name;
        TChartRange values;
        double pixelAtMin;
        double pixelAtMax;
    } cases[] = {
        {"bottom axis", {100, 1100}, 50, 1250},
        {"left axis grows upward", {12.3, 67.4}, 600, 40},
        {"single point window", {7, 7}, 50, 1250},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TAxisMapping mapping(c.values, c.pixelAtMin, c.pixelAtMax);
        EXPECT_DOUBLE_EQ(mapping.toPixel(c.values.min), c.pixelAtMin);
        if (c.values.span() > 0) {
            EXPECT_NEAR(mapping.toPixel(c.values.max), c.pixelAtMax, 1e-9);
        }
        for (double pixel : {c.pixelAtMin, c.pixelAtMax, 333.25, -20.0})
            EXPECT_NEAR(mapping.toPixel(mapping.toValue(pixel)), pixel, 1e-9);
        EXPECT_EQ(mapping.pixelsPerUnit() > 0, c.pixelAtMax > c.pixelAtMin);
    }
}

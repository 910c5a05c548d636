#include "shell/LayoutRules.h"

#include <gtest/gtest.h>

TEST(LayoutRules, MonitorControlsSitOnTheChartBottomAroundTheCentre)
{
    struct Case {
        int outerWidth, chartWidth, chartHeight, label1Width, label2Width, startWidth;
        LayoutRules::MonitorLayout expected;
    };
    const Case cases[] = {
        // 584 / 2 - (60 + 61 + 70) / 2 - 10 = 292 - 95 - 10
        {584, 584, 361, 60, 61, 75, {331, 187, 317, 4, 489, 157}},
        // odd sums truncate: (601 - 270) / 2 = 165, (45 + 46 + 70) / 2 = 80
        {601, 601, 400, 45, 46, 80, {370, 210, 325, 4, 501, 165}},
        // a chart narrower than the legend puts it left of zero, truncated toward zero
        {200, 100, 50, 10, 10, 40, {20, 45, 125, 4, 140, -85}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.outerWidth);
        const auto at = LayoutRules::monitorLayout(c.outerWidth, c.chartWidth, c.chartHeight,
                                                   c.label1Width, c.label2Width, c.startWidth);
        EXPECT_EQ(at.controlsTop, c.expected.controlsTop);
        EXPECT_EQ(at.label1Left, c.expected.label1Left);
        EXPECT_EQ(at.label2Left, c.expected.label2Left);
        EXPECT_EQ(at.buttonRegLeft, c.expected.buttonRegLeft);
        EXPECT_EQ(at.buttonStartMonLeft, c.expected.buttonStartMonLeft);
        EXPECT_EQ(at.legendLeft, c.expected.legendLeft);
    }
}

TEST(LayoutRules, ViewerSplitsTheWidthIntoSixColumnsAndCentresTheLoadPanel)
{
    struct Case {
        QSize outer;
        int chartWidth;
        QRect panelLoad;
        int columnWidth, scrollBarWidth, legendLeft;
    };
    const Case cases[] = {
        {{762, 491}, 754, {231, 185, 300, 51}, 118, 664, 182},
        // (1000 - 52) / 6 = 158 exactly; (701 - 300) / 2 truncates to 200
        {{1000, 701}, 993, {350, 290, 300, 51}, 158, 903, 301},
        {{763, 492}, 755, {231, 185, 300, 51}, 118, 665, 182},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.outer.width());
        const auto at = LayoutRules::viewerLayout(c.outer, QSize(300, 51), c.chartWidth);
        EXPECT_EQ(at.panelLoad, c.panelLoad);
        EXPECT_EQ(at.tableColumnWidth, c.columnWidth);
        EXPECT_EQ(at.scrollBarLeft, 45);
        EXPECT_EQ(at.scrollBarWidth, c.scrollBarWidth);
        EXPECT_EQ(at.legendLeft, c.legendLeft);
    }
}

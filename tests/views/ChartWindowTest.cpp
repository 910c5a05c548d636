#include "views/TChartWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

// A bottom axis that refuses a maximum below its minimum, as the chart does,
// and a scroll bar that clamps its position into 0..maximum and reports every
// move to the window, as QScrollBar does through its signal.
class FakeTarget : public TChartWindowTarget
{
public:
    double axisMinimum() const override { return min; }
    double axisMaximum() const override { return max; }
    void setAxisMinimum(double value) override
    {
        if (value > max)
            ++refused;
        else
            min = value;
    }
    void setAxisMaximum(double value) override
    {
        if (value < min)
            ++refused;
        else
            max = value;
    }
    void setScrollMaximum(int maximum) override
    {
        scrollMaximum = maximum;
        setScrollPosition(position);
    }
    void setScrollPosition(int wanted) override
    {
        const int clamped = std::clamp(wanted, 0, scrollMaximum);
        if (clamped == position)
            return;
        position = clamped;
        window->ScrollBarScrollChange(position);
    }
    // The user drags the scroll bar.
    void dragScrollBar(int wanted) { setScrollPosition(wanted); }

    TChartWindow* window = nullptr;
    double min = 0;
    double max = 0;
    int scrollMaximum = 0;
    int position = 0;
    int refused = 0;
};

class ChartWindowTest : public ::testing::Test
{
protected:
    ChartWindowTest() { target.window = &window; }

    void load(qint64 rows) { window.ResetWindow(TChartWindow::afterLoad(rows)); }

    void expectWindow(int start, int end)
    {
        EXPECT_EQ(window.Start(), start);
        EXPECT_EQ(window.End(), end);
        expectAxis(start, end);
    }
    void expectAxis(double min, double max)
    {
        EXPECT_EQ(target.min, min);
        EXPECT_EQ(target.max, max);
        EXPECT_EQ(target.refused, 0) << "the axis was asked for a maximum below its minimum";
    }
    // A left-button drag that leaves the axis at min..max, as the chart's pan does.
    void dragAxisTo(double min, double max)
    {
        window.mouseDown();
        window.mouseMove();
        target.min = min;
        target.max = max;
    }

    FakeTarget target;
    TChartWindow window{target};
};

TEST_F(ChartWindowTest, HundredAndOneRowsZoomBetweenAQuarterAndAll)
{
    load(101);
    EXPECT_EQ(window.LastIndex(), 100);
    EXPECT_EQ(window.MinWidth(), 25);
    EXPECT_EQ(window.MaxWidth(), 100);
    expectWindow(0, 25);
    EXPECT_EQ(target.scrollMaximum, 75);

    window.zoomIn();
    expectWindow(0, 25);
    for (int click = 0; click < 75; ++click)
        window.zoomOut();
    expectWindow(0, 100);
    EXPECT_EQ(target.scrollMaximum, 0);
    window.zoomOut();
    expectWindow(0, 100);
    EXPECT_EQ(window.Width(), 100);
}

TEST_F(ChartWindowTest, TinyLoadsShowOnePointWithAScrollMaximumAboveZero)
{
    struct Case {
        const char* name;
        qint64 rows;
        int scrollMaximum;
    };
    const Case cases[] = {{"4 rows", 4, 3}, {"1 row", 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(c.rows);
        EXPECT_EQ(window.MinWidth(), 0);
        expectWindow(0, 0);
        EXPECT_EQ(target.scrollMaximum, c.scrollMaximum);
    }
}

TEST_F(ChartWindowTest, ScrollingPastTheEndShowsTheLastPoints)
{
    load(101);
    target.dragScrollBar(40);
    expectWindow(40, 65);
    target.dragScrollBar(75);
    expectWindow(75, 100);
    // p + Width = LastIndex already takes the end rule.
    window.ScrollBarScrollChange(76);
    expectWindow(75, 100);
}

TEST_F(ChartWindowTest, ReloadPullsAScrollBarBeyondTheNewMaximumBack)
{
    load(2001);
    target.dragScrollBar(500);
    expectWindow(500, 1000);

    load(401);
    EXPECT_EQ(target.position, 300);
    EXPECT_EQ(target.scrollMaximum, 300);
    expectWindow(300, 400);

    load(2001);
    EXPECT_EQ(target.position, 300);
    expectWindow(0, 500);
}

TEST_F(ChartWindowTest, ReloadKeepsAScrollBarInsideTheNewRange)
{
    load(2001);
    target.dragScrollBar(500);
    load(2001);
    EXPECT_EQ(target.position, 500);
    expectWindow(0, 500);
}

TEST_F(ChartWindowTest, WideningAtTheEndKeepsTheLastPointAtTheRightEdge)
{
    load(101);
    target.dragScrollBar(75);
    window.zoomOut();
    EXPECT_EQ(target.position, 74);
    expectWindow(74, 100);
    EXPECT_EQ(window.Width(), 26);
}

TEST_F(ChartWindowTest, JumpingLeftByMoreThanTheWidthNeverInvertsTheAxis)
{
    load(2001);
    target.dragScrollBar(1500);
    expectWindow(1500, 2000);
    target.dragScrollBar(10);
    expectWindow(10, 510);
    target.dragScrollBar(1400);
    expectWindow(1400, 1900);
}

TEST_F(ChartWindowTest, ReleaseSnapsADragPastEitherEndBackIntoTheData)
{
    struct Case {
        const char* name;
        double min, max;
        double snappedMin, snappedMax;
    };
    // 101 rows, scrolled to 40: width 25, last index 100.
    const Case cases[] = {
        {"minimum below 0", -3.5, 21.5, 0, 25},
        {"far to the left, maximum below 0 too", -60, -35, 0, 25},
        {"maximum above LastIndex + 1", 76.5, 101.5, 75, 100},
        {"maximum of exactly LastIndex + 1", 76, 101, 76, 101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        target = FakeTarget{};
        target.window = &window;
        load(101);
        target.dragScrollBar(40);
        dragAxisTo(c.min, c.max);
        window.mouseUp();
        EXPECT_FALSE(window.Panning());
        expectAxis(c.snappedMin, c.snappedMax);
        // Start, End and the scroll bar wait for the next move inside the data.
        EXPECT_EQ(window.Start(), 40);
        EXPECT_EQ(target.position, 40);
    }
}

TEST_F(ChartWindowTest, AMoveInsideTheDataPutsTheWindowOnWholePoints)
{
    load(101);
    target.dragScrollBar(40);
    dragAxisTo(30.7, 55.7);
    window.mouseMove();
    EXPECT_EQ(target.position, 30);
    expectWindow(30, 55);

    // Without a pressed button nothing follows the axis.
    window.mouseUp();
    target.min = 20.2;
    target.max = 45.2;
    window.mouseMove();
    EXPECT_EQ(window.Start(), 30);
}

TEST_F(ChartWindowTest, APeriodShowsAllItsPointsAndNarrowsToAQuarter)
{
    const qint64 points = 41;
    window.ResetWindow(TChartWindow::afterPeriod(points));
    expectWindow(0, 40);
    EXPECT_EQ(target.scrollMaximum, 40);
    window.zoomOut();
    expectWindow(0, 40);
    for (int click = 0; click < 40; ++click)
        window.zoomIn();
    EXPECT_EQ(window.Width(), 10);
    expectWindow(0, 10);
}

TEST_F(ChartWindowTest, TheHiddenScaleBarSetsTheWidth)
{
    load(101);
    window.ScrollBarScaleChange(50);
    expectWindow(0, 50);
    EXPECT_EQ(target.scrollMaximum, 50);
}

TEST_F(ChartWindowTest, ZoomAroundKeepsTheAnchorUntilAnEndOfTheDataStopsIt)
{
    // 10,001 rows: MinWidth 2500, MaxWidth 10000; the window starts at [4000, 6500].
    load(10001);
    target.dragScrollBar(4000);
    expectWindow(4000, 6500);
    struct Step {
        const char* name;
        double anchor;
        double factor;
        int width;
        double min; // the axis after the step
    };
    const Step steps[] = {
        // 4750 sits at 30 % of the window and stays there: 4750 - 0.3 * 3125.
        {"out around 4750", 4750, 1.25, 3125, 3812.5},
        {"in again", 4750, 0.8, 2500, 4000},
        // Not below MinWidth.
        {"in at the narrowest", 4750, 0.8, 2500, 4000},
        // Near the left end the window stops at 0 and the anchor moves.
        {"out near the start", 4100, 4.0, 10000, 0},
        {"not beyond MaxWidth", 500, 1.25, 10000, 0},
        {"in at the right end", 10000, 0.5, 5000, 5000},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        window.zoomAround(step.anchor, step.factor);
        EXPECT_EQ(window.Width(), step.width);
        expectAxis(step.min, step.min + step.width);
        EXPECT_EQ(window.End() - window.Start(), step.width);
        EXPECT_EQ(target.position, window.Start());
        EXPECT_EQ(target.scrollMaximum, 10000 - step.width);
    }
}

TEST_F(ChartWindowTest, ZoomAroundMovesAtLeastOnePoint)
{
    load(101); // MinWidth 25
    window.zoomAround(10, 1.01);
    EXPECT_EQ(window.Width(), 26);
    window.zoomAround(10, 0.99);
    EXPECT_EQ(window.Width(), 25);
}

} // namespace

#include "chart/TDecimationPlan.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct PlanCase {
    const char* name;
    TChartRange axis;
    TIndexSpan series;
    TDecimationPlan::Mode mode;
};

constexpr int FirstColumn = 60;
constexpr int LastColumn = 1259;

const PlanCase Cases[] = {
    {"thousand points", {500, 1500}, {0, 66'846'719}, TDecimationPlan::Mode::Polyline},
    {"just under two per pixel", {0, 2000}, {0, 5000}, TDecimationPlan::Mode::Polyline},
    {"two per pixel", {0, 2398}, {0, 5000}, TDecimationPlan::Mode::Columns},
    {"whole log", {0, 66'846'719}, {0, 66'846'719}, TDecimationPlan::Mode::Columns},
    {"series shorter than axis", {-10'000, 90'000}, {20'000, 43'199}, TDecimationPlan::Mode::Columns},
    {"live chart, shifted indices", {100'000, 143'199}, {100'000, 143'199}, TDecimationPlan::Mode::Columns},
};

} // namespace

TEST(DecimationPlan, ModeFollowsPointsPerPixel)
{
    for (const PlanCase& c : Cases) {
        SCOPED_TRACE(c.name);
        const TDecimationPlan plan(TAxisMapping(c.axis, FirstColumn, LastColumn), FirstColumn, LastColumn, c.series);
        EXPECT_EQ(plan.mode(), c.mode);
    }
}

TEST(DecimationPlan, ColumnsCoverEveryVisiblePointOnceInItsOwnColumn)
{
    for (const PlanCase& c : Cases) {
        SCOPED_TRACE(c.name);
        const TAxisMapping mapping(c.axis, FirstColumn, LastColumn);
        const TDecimationPlan plan(mapping, FirstColumn, LastColumn, c.series);
        qint64 expectedNext = std::max(c.series.first, qint64(std::ceil(mapping.toValue(FirstColumn - 0.5))));
        qint64 covered = 0;
        for (int column = FirstColumn; column <= LastColumn; ++column) {
            const TIndexSpan points = plan.columnPoints(column);
            if (points.isEmpty())
                continue;
            EXPECT_EQ(points.first, expectedNext) << "column " << column;
            EXPECT_EQ(std::lround(mapping.toPixel(double(points.first))), column);
            EXPECT_EQ(std::lround(mapping.toPixel(double(points.last))), column);
            expectedNext = points.last + 1;
            covered += points.count();
        }
        const qint64 lastVisible =
            std::min(c.series.last, qint64(std::ceil(mapping.toValue(LastColumn + 0.5))) - 1);
        EXPECT_EQ(expectedNext, lastVisible + 1);
        EXPECT_GT(covered, 0);
    }
}

TEST(DecimationPlan, PolylineRunsOnePointBeyondEachEdgeWithinTheSeries)
{
    const struct {
        const char* name;
        TChartRange axis;
        TIndexSpan series;
        TIndexSpan points;
    } cases[] = {
        {"middle of the data", {500, 1500}, {0, 10'000}, {499, 1501}},
        {"fractional edges", {10.4, 20.6}, {0, 100}, {10, 21}},
        {"at both ends of the data", {0, 100}, {0, 100}, {0, 100}},
        {"axis beyond the data", {-50, 40}, {0, 25}, {0, 25}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TDecimationPlan plan(TAxisMapping(c.axis, FirstColumn, LastColumn), FirstColumn, LastColumn, c.series);
        ASSERT_EQ(plan.mode(), TDecimationPlan::Mode::Polyline);
        EXPECT_EQ(plan.polylinePoints(), c.points);
    }
}

TEST(DecimationPlan, AbsurdAxisRangeStillGivesPointsInsideTheSeries)
{
    const TIndexSpan series{0, 999};
    const TDecimationPlan plan(TAxisMapping({-1e300, 1e300}, FirstColumn, LastColumn), FirstColumn, LastColumn,
                               series);
    ASSERT_EQ(plan.mode(), TDecimationPlan::Mode::Columns);
    qint64 covered = 0;
    for (int column = FirstColumn; column <= LastColumn; ++column) {
        const TIndexSpan points = plan.columnPoints(column);
        if (!points.isEmpty()) {
            EXPECT_TRUE(series.contains(points.first) && series.contains(points.last));
            covered += points.count();
        }
    }
    EXPECT_EQ(covered, series.count());
}

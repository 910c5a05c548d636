#include "chart/ChartSeriesSource.h"
#include "chart/TListSeriesSource.h"

#include <gtest/gtest.h>

TEST(ListSeriesSource, KeepsAppendedPointsWithNullsAsGaps)
{
    TListSeriesSource source;
    source.append(21.5, QStringLiteral("10:00:00\r05.04.2017"));
    source.append(std::nullopt, QString());
    source.append(19.0, QStringLiteral("10:00:20\r05.04.2017"));
    EXPECT_EQ(source.indices(), (TIndexSpan{0, 2}));
    EXPECT_EQ(source.value(0), 21.5);
    EXPECT_EQ(source.value(1), std::nullopt);
    EXPECT_EQ(source.label(2), QStringLiteral("10:00:20\r05.04.2017"));
    EXPECT_EQ(source.range(0, 2), (TChartRange{19.0, 21.5}));
    EXPECT_EQ(source.range(1, 1), std::nullopt);
    EXPECT_EQ(source.value(3), std::nullopt);
    EXPECT_EQ(source.label(-1), QString());
}

TEST(ListSeriesSource, BeyondItsCapacityDropsTheOldestWhileIndicesKeepCounting)
{
    TListSeriesSource source(3);
    for (int i = 0; i < 5; ++i)
        source.append(double(i * 10), QString::number(i));
    EXPECT_EQ(source.indices(), (TIndexSpan{2, 4}));
    EXPECT_EQ(source.value(2), 20.0);
    EXPECT_EQ(source.value(1), std::nullopt);
    EXPECT_EQ(source.label(4), QStringLiteral("4"));
    // A range reaching past the kept points counts only the kept ones.
    EXPECT_EQ(source.range(0, 10), (TChartRange{20, 40}));
    source.clear();
    EXPECT_EQ(source.pointCount(), 0);
    EXPECT_TRUE(source.indices().isEmpty());
}

namespace {

// A series in the store's own shape: whole tenths and an integer range.
struct TenthsRange {
    int min;
    int max;
};

struct TenthsSeries {
    qint64 pointCount() const { return 3; }
    std::optional<double> value(qint64 index) const { return index == 1 ? std::nullopt : std::optional(index * 0.5); }
    QString label(qint64 index) const { return QString::number(index); }
    std::optional<TenthsRange> range(qint64 first, qint64 last) const
    {
        if (first == 1 && last == 1)
            return std::nullopt;
        return TenthsRange{int(first), int(last)};
    }
};

} // namespace

TEST(ChartSeriesAdapter, ReadsAnotherSeriesShapeInPlace)
{
    const TenthsSeries series;
    const TChartSeriesAdapter<TenthsSeries> adapter(series);
    EXPECT_EQ(adapter.indices(), (TIndexSpan{0, 2}));
    EXPECT_EQ(adapter.value(2), 1.0);
    EXPECT_EQ(adapter.value(1), std::nullopt);
    EXPECT_EQ(adapter.label(2), QStringLiteral("2"));
    EXPECT_EQ(adapter.range(0, 2), (TChartRange{0, 2}));
    EXPECT_EQ(adapter.range(1, 1), std::nullopt);
}

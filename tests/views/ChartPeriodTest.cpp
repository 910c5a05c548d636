#include "data/DataTestSupport.h"
#include "data/Timestamp.h"
#include "views/ChartPeriod.h"

#include <gtest/gtest.h>

namespace {

// 0x27: interval code 2 (5 s), all three channels.
constexpr int IntervalAndChannels = 0x27;

TEST(ChartPeriodTest, AnIntervalItemHoldsEveryRowOfItsRunWhenTheClockWentBack)
{
    const qint64 nine = TimestampSeconds(2024, 5, 1, 9, 0, 0);
    const qint64 eight = TimestampSeconds(2024, 5, 1, 8, 0, 0);
    struct Case {
        const char* name;
        std::vector<TLogRecord> records;
        qint64 latestRow;
    };
    const Case cases[] = {
        {"clock in order", {MakeLogRecord(3, IntervalAndChannels, eight, 215, 455, 1010),
                            MakeLogRecord(2, IntervalAndChannels, nine, 216, 456, 1011)},
         nine + 5},
        {"clock set back an hour", {MakeLogRecord(3, IntervalAndChannels, nine, 215, 455, 1010),
                                    MakeLogRecord(2, IntervalAndChannels, eight, 216, 456, 1011)},
         nine + 2 * 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMeasurementStore store;
        store.showRecords(ListOf(c.records));
        ASSERT_EQ(store.intervalRunCount(), 1);

        const ChartPeriod::TItemEnds ends = ChartPeriod::intervalItemEnds(store, 1);
        EXPECT_EQ(ends.first, eight);
        EXPECT_EQ(ends.last, c.latestRow);
        const auto rows = ChartPeriod::rowsInPeriod(store, ends.first * 1000, ends.last * 1000);
        EXPECT_EQ(rows->rowCount(), store.DataRowCount());
    }
}

} // namespace

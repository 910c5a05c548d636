#include "data/DataTestSupport.h"
#include "data/LogGenerator.h"
#include "data/MeasurementSeries.h"
#include "data/RowSpanView.h"
#include "data/RowTexts.h"
#include "data/Timestamp.h"

namespace {

class RowSpanViewTest : public RussianLocaleTest
{
protected:
    void SetUp() override
    {
        RussianLocaleTest::SetUp();
        const QByteArray bytes = LogGenerator(21).generate(400, TLogShape::Typical,
                                                           QDateTime(QDate(2025, 5, 1), QTime(6, 0)));
        const auto* raw = reinterpret_cast<const TLogRecord*>(bytes.constData());
        store_.showRecords(ListOf(std::vector<TLogRecord>(raw, raw + 400)));
    }

    TMeasurementStore store_;
    const TRowTexts texts_{store_};
};

TEST_F(RowSpanViewTest, PeriodViewReadsExactlyTheRowsInsideThePeriod)
{
    const qint64 start = store_.rowValues(0).time;
    const qint64 end = store_.rowValues(store_.DataRowCount() - 1).time;
    struct Case {
        const char* name;
        qint64 from, to;
    };
    const Case cases[] = {
        {"everything", start, end},
        {"middle third", start + (end - start) / 3, start + 2 * (end - start) / 3},
        {"one moment", store_.rowValues(7).time, store_.rowValues(7).time},
        {"before the log", start - 100, start - 1},
        {"reversed", end, start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TRowSpanView view = TRowSpanView::byPeriod(store_, c.from, c.to);
        std::vector<qint64> expected;
        for (qint64 row = 0; row < store_.DataRowCount(); ++row) {
            const qint64 time = store_.rowValues(row).time;
            if (time >= c.from && time <= c.to)
                expected.push_back(row);
        }
        ASSERT_EQ(view.rowCount(), qint64(expected.size()));
        EXPECT_LE(view.spanCount(), store_.records().size());
        for (qint64 v = 0; v < view.rowCount(); ++v) {
            ASSERT_EQ(view.storeRow(v), expected[size_t(v)]) << "view row " << v;
            EXPECT_EQ(texts_.cellText(view.storeRow(v), 0), QString::number(expected[size_t(v)] + 1));
        }
    }
}

// A store of the view's record list shows the view's rows alone: the same
// times and values, records cut where the period cuts them.
TEST_F(RowSpanViewTest, ItsRecordListShowsTheViewsRowsAlone)
{
    const qint64 start = store_.rowValues(0).time;
    const qint64 end = store_.rowValues(store_.DataRowCount() - 1).time;
    const TRowSpanView view = TRowSpanView::byPeriod(store_, start + (end - start) / 3, start + (end - start) / 2);
    ASSERT_GT(view.rowCount(), 0);
    TMeasurementStore period;
    period.showRecords(view.recordList());
    ASSERT_EQ(period.DataRowCount(), view.rowCount());
    EXPECT_EQ(period.records().size(), view.spanCount());
    for (qint64 row = 0; row < view.rowCount(); ++row) {
        const TRowValues cut = period.rowValues(row);
        const TRowValues original = view.rowValues(row);
        ASSERT_EQ(cut.time, original.time) << row;
        EXPECT_EQ(cut.temperature, original.temperature);
        EXPECT_EQ(cut.humidity, original.humidity);
        EXPECT_EQ(cut.pressure, original.pressure);
        EXPECT_EQ(cut.intervalSeconds, original.intervalSeconds);
    }
}

TEST_F(RowSpanViewTest, RecordFilterKeepsWholeRecords)
{
    const TRowSpanView view = TRowSpanView::byPeriod(store_, 0, std::numeric_limits<qint64>::max(),
                                                     [](const TExpandedRecord& r) { return !r.humidity; });
    qint64 expected = 0;
    for (qint64 row = 0; row < store_.DataRowCount(); ++row)
        expected += store_.rowValues(row).humidity ? 0 : 1;
    ASSERT_EQ(view.rowCount(), expected);
    for (qint64 v = 0; v < view.rowCount(); ++v)
        EXPECT_FALSE(view.rowValues(v).humidity);
    EXPECT_FALSE(TMeasurementSeries(view, TSeriesKind::RH).range(0, view.rowCount() - 1));
}

TEST_F(RowSpanViewTest, SpansAreClippedToOneRecordAndKeptInOrder)
{
    const qint64 secondRecord = store_.recordFirstRow(1);
    const qint64 thirdRecord = store_.recordFirstRow(2);
    const TRowSpanView view(store_, {{secondRecord, 1000}, // runs past its record: clipped
                                     {secondRecord, 1},    // same record again: dropped
                                     {0, 1},               // goes back: dropped
                                     {thirdRecord, 0},     // empty: dropped
                                     {-4, 2},              // outside the table: dropped
                                     {thirdRecord, 1}});
    ASSERT_EQ(view.spanCount(), 2);
    EXPECT_EQ(view.span(0).rowCount, thirdRecord - secondRecord);
    EXPECT_EQ(view.rowCount(), thirdRecord - secondRecord + 1);
    EXPECT_EQ(view.storeRow(view.rowCount() - 1), thirdRecord);
}

TEST_F(RowSpanViewTest, SeriesReadThroughTheViewMatchTheStoreRows)
{
    const qint64 start = store_.rowValues(0).time;
    const qint64 end = store_.rowValues(store_.DataRowCount() - 1).time;
    const TRowSpanView view = TRowSpanView::byPeriod(store_, start + (end - start) / 4, end - (end - start) / 4);
    ASSERT_GT(view.rowCount(), 20);
    for (TSeriesKind kind : {TSeriesKind::T, TSeriesKind::RH, TSeriesKind::P, TSeriesKind::RHLMin}) {
        const TMeasurementSeries filtered(view, kind);
        const TMeasurementSeries whole(store_, kind);
        ASSERT_EQ(filtered.pointCount(), view.rowCount());
        for (qint64 v = 0; v < view.rowCount(); ++v) {
            const qint64 row = view.storeRow(v);
            ASSERT_EQ(filtered.value(v), whole.value(row));
            ASSERT_EQ(filtered.label(v), whole.label(row));
        }
        for (const auto& [first, last] : {std::pair<qint64, qint64>{3, view.rowCount() - 6}, {0, 0}, {5, 40}})
            ExpectSameRange(filtered.range(first, last), RangeOfPoints(filtered, first, last));
    }
}

} // namespace

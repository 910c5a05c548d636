#include "data/DataTestSupport.h"
#include "data/LogGenerator.h"
#include "data/RecordList.h"
#include "data/Timestamp.h"

#include <set>

namespace {

TEST(LogGenerator, TypicalLogIsValidVariedAndContinuous)
{
    const QDateTime start(QDate(2025, 3, 1), QTime(8, 0));
    const QByteArray bytes = LogGenerator(7).generate(20000, TLogShape::Typical, start);
    ASSERT_EQ(bytes.size(), 20000 * 16);
    const auto* records = reinterpret_cast<const TLogRecord*>(bytes.constData());
    TRecordList list(TestYear);
    std::set<int> masks, codes;
    qint64 rows = 0;
    for (int k = 0; k < 20000; ++k) {
        ASSERT_TRUE(list.appendIfValid(records[k])) << "record " << k;
        const TExpandedRecord record = list.expanded(k);
        if (k > 0) {
            const TExpandedRecord previous = list.expanded(k - 1);
            EXPECT_EQ(record.baseTime, previous.rowTime(previous.repeatCount)) << "record " << k;
        }
        masks.insert(records[k].ChannelMask());
        codes.insert(records[k].IntervalCode());
        rows += record.repeatCount;
    }
    EXPECT_EQ(masks.size(), 7u);
    EXPECT_GE(codes.size(), 5u);
    EXPECT_NEAR(double(rows) / 20000, 4.0, 0.5);
    EXPECT_EQ(list.baseTime(0), TimestampSeconds(2025, 3, 1, 8, 0, 0));
}

TEST(LogGenerator, WorstCaseRepeatsEveryRecord255Times)
{
    const QByteArray bytes = LogGenerator(3).generate(1000, TLogShape::WorstCase, QDateTime(QDate(2025, 1, 1), QTime(0, 0)));
    const auto* records = reinterpret_cast<const TLogRecord*>(bytes.constData());
    for (int k = 0; k < 1000; ++k) {
        ASSERT_TRUE(IsValidRecord(records[k], TestYear));
        ASSERT_EQ(records[k].RepeatCount, 255);
    }
}

} // namespace

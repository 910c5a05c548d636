#include "data/DataTestSupport.h"

#include "data/RawRecords.h"
#include "data/RecordList.h"

// Record k of a layout: valid ones differ in time and values, invalid ones
// have month 13.
std::vector<TLogRecord> LayoutRecords(const std::string& layout)
{
    std::vector<TLogRecord> records;
    const TLogRecord sample = RecordFromHex(SampleRecordHex);
    for (size_t k = 0; k < layout.size(); ++k) {
        TLogRecord record = WithByte(WithByte(sample, 4, quint8(k % 24)), 8, quint8(k));
        records.push_back(layout[k] == 'v' ? record : WithByte(record, 6, 13));
    }
    return records;
}

// A list read in place from a log's records gives the valid ones, in order,
// exactly as decoding each record on its own does, wherever invalid records sit.
TEST(RecordList, ReadsTheValidRecordsOfALogInPlace)
{
    for (const std::string layout : {"vvvv", "xvvv", "vvxv", "vvvx", "vxxvxv", "xxxx", ""}) {
        SCOPED_TRACE(layout);
        const std::vector<TLogRecord> records = LayoutRecords(layout);
        const TRawRecords raw(BytesOf(records));
        const TRecordList list(raw, TestYear);

        qsizetype index = 0;
        for (const TLogRecord& record : records) {
            if (!IsValidRecord(record, TestYear))
                continue;
            ASSERT_LT(index, list.size());
            const TCompactRecord decoded = list.at(index);
            EXPECT_EQ(list.baseTime(index), BaseTimestamp(record, TestYear));
            EXPECT_EQ(decoded.temperature, record.RawTemperature());
            EXPECT_EQ(decoded.repeatCount, record.RepeatCount);
            EXPECT_EQ(list.channelValue(ChannelTemperature, index), record.RawTemperature());
            EXPECT_EQ(list.dumpLine(index), DumpLine(record));
            ++index;
        }
        EXPECT_EQ(list.size(), index);
    }
}

// The records' bytes are the source's: while the source keeps them, the list
// counts only its decoding, 4 bytes a record when every record is valid.
TEST(RecordList, SharesTheRecordsBytesWithTheSource)
{
    const std::vector<TLogRecord> records = LayoutRecords(std::string(1000, 'v'));
    auto raw = std::make_unique<TRawRecords>(BytesOf(records));
    const TRecordList list(*raw, TestYear);
    EXPECT_EQ(list.memoryBytes(), 1000 * 4);
    raw.reset();
    EXPECT_EQ(list.memoryBytes(), 1000 * 4 + 1000 * 16);
    EXPECT_EQ(list.dumpLine(999), DumpLine(records[999]));
}

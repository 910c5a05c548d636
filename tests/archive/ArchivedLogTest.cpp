#include "archive/ArchivedLog.h"
#include "data/LogGenerator.h"

#include <gtest/gtest.h>

namespace {

QByteArray makeLog(qint64 records)
{
    return LogGenerator(21).generate(records, TLogShape::Typical, QDateTime(QDate(2024, 6, 1), QTime(6, 0)));
}

TEST(ArchivedLogTest, PackedRecordsComeBackByteForByte)
{
    struct Case {
        const char* name;
        QByteArray raw;
    };
    const Case cases[] = {
        {"whole records", makeLog(5000)},
        {"a partial last record", makeLog(300) + QByteArray("\x01\x02\x03\x04\x05\x06\x07", 7)},
        {"less than a record", QByteArray("\x7f\x00\x10", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TPackedLog packed = PackLog(c.raw);
        EXPECT_EQ(packed.sha256, Sha256Of(c.raw));
        EXPECT_EQ(packed.sha256.size(), 64);
        EXPECT_EQ(UnpackLog(packed.compressed, packed.sha256), c.raw);
    }
}

TEST(ArchivedLogTest, AFullLogMemoryPacksToLessThanAThird)
{
    const QByteArray raw = makeLog(262144);
    EXPECT_LT(PackLog(raw).compressed.size(), raw.size() / 3);
}

TEST(ArchivedLogTest, BytesThatDoNotMatchTheirHashAreRefused)
{
    const QByteArray raw = makeLog(100);
    const TPackedLog packed = PackLog(raw);
    QByteArray other = raw;
    other[3] = char(other[3] + 1);
    struct Case {
        const char* name;
        QByteArray compressed;
    };
    const Case cases[] = {
        {"other records", PackLog(other).compressed},
        {"cut short", packed.compressed.left(packed.compressed.size() / 2)},
        {"not compressed at all", raw},
        {"nothing", QByteArray()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(UnpackLog(c.compressed, packed.sha256));
    }
}

} // namespace

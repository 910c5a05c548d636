#include "data/DataTestSupport.h"
#include "data/ReadSource.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>

#include <vector>

namespace {

class ReadSourceTest : public ::testing::Test
{
protected:
    QString writeLog(const QByteArray& bytes)
    {
        const QString path = dir_.filePath("data.log");
        WriteFile(path, bytes);
        return path;
    }

    QTemporaryDir dir_;
    static constexpr qint64 Limit = 8;
};

TEST_F(ReadSourceTest, ReadsCountedWholeRecordsUpToTheLimitAndReportsEachIndexFirst)
{
    const TLogRecord sample = RecordFromHex(SampleRecordHex);
    const TLogRecord other = WithByte(sample, 0, 9);
    struct Case {
        const char* name;
        QByteArray file;
        qint64 count;
        qint64 expectedRead;
        qint64 expectedLeftOut;
    };
    const Case cases[] = {
        {"file longer than the count", BytesOf({sample, other, sample}), 2, 2, 0},
        {"file shorter than the count", BytesOf({sample, other}), 5, 2, 0},
        {"trailing partial record", BytesOf({sample, other}) + QByteArray(7, '\x01'), 5, 2, 0},
        {"count 0", BytesOf({sample}), 0, 0, 0},
        {"negative count", BytesOf({sample}), -3, 0, 0},
        {"count beyond the limit", BytesOf(std::vector<TLogRecord>(12, sample)), 100, 8, 4},
        {"count beyond the limit and the file", BytesOf(std::vector<TLogRecord>(12, sample)), 10, 8, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<qint64> reported;
        const TReadResult result = ReadSource(writeLog(c.file), c.count, Limit, [&](qint64 k) {
            reported.push_back(k);
            return true;
        });
        ASSERT_TRUE(result.opened);
        EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
        EXPECT_EQ(result.records.size(), c.expectedRead);
        EXPECT_EQ(result.records.bytes(), c.file.left(c.expectedRead * 16));
        EXPECT_EQ(result.recordsLeftOut, c.expectedLeftOut);
        ASSERT_EQ(qint64(reported.size()), c.expectedRead);
        for (qint64 k = 0; k < qint64(reported.size()); ++k)
            EXPECT_EQ(reported[size_t(k)], k);
    }
}

// A logger's drive written to, or a file replaced, while it is read: what was
// read is neither the old log nor the new one.
TEST_F(ReadSourceTest, AFileThatChangesWhileItIsReadIsAnError)
{
    const TLogRecord sample = RecordFromHex(SampleRecordHex);
    const QByteArray six = BytesOf(std::vector<TLogRecord>(6, sample));
    struct Case {
        const char* name;
        std::function<void(QFile&)> change;
    };
    const Case cases[] = {
        {"grows", [&sample](QFile& file) { file.write(BytesOf({sample, sample})); }},
        {"shrinks", [](QFile& file) { file.resize(3 * 16); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = writeLog(six);
        const TReadResult result = ReadSource(path, 6, Limit, [&](qint64 k) {
            if (k == 2) {
                QFile file(path);
                if (file.open(QIODevice::Append))
                    c.change(file);
            }
            return true;
        });
        EXPECT_TRUE(result.opened);
        EXPECT_EQ(result.error, QStringLiteral("файл изменился во время чтения"));
    }
}

TEST_F(ReadSourceTest, FileBytesAreReadWholeUpToTheLimitOrNotAtAll)
{
    const QByteArray bytes(1000, 'x');
    QString error;
    EXPECT_EQ(ReadFileBytes(writeLog(bytes), &error), bytes);
    EXPECT_EQ(ReadFileBytes(writeLog(bytes), &error, 300), bytes.left(300));
    EXPECT_EQ(ReadFileBytes(dir_.filePath("gone.log"), &error), std::nullopt);
    EXPECT_EQ(error, QStringLiteral("файл не найден"));
    EXPECT_EQ(ReadFileBytes(dir_.path(), &error), std::nullopt);
    EXPECT_EQ(error, QStringLiteral("это не файл"));
}

TEST_F(ReadSourceTest, MissingFileIsNotOpened)
{
    const TReadResult result = ReadSource(dir_.filePath("gone.log"), 4, Limit, {});
    EXPECT_FALSE(result.opened);
    EXPECT_TRUE(result.records.isEmpty());
    EXPECT_FALSE(result.error.isEmpty());
}

} // namespace

#include "data/DataTestSupport.h"

#include <QFile>

#include <cstring>

TLogRecord RecordFromHex(const char* hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    TLogRecord record{};
    std::memcpy(&record, bytes.constData(), std::min<size_t>(sizeof record, size_t(bytes.size())));
    return record;
}

TLogRecord WithByte(TLogRecord record, int offset, quint8 value)
{
    reinterpret_cast<quint8*>(&record)[offset] = value;
    return record;
}

QByteArray BytesOf(const std::vector<TLogRecord>& records)
{
    return QByteArray(reinterpret_cast<const char*>(records.data()), qsizetype(records.size() * sizeof(TLogRecord)));
}

std::shared_ptr<TRecordList> ListOf(const std::vector<TLogRecord>& records)
{
    auto list = std::make_shared<TRecordList>(TestYear);
    for (const TLogRecord& record : records)
        list->appendIfValid(record);
    return list;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    ASSERT_EQ(file.write(bytes), bytes.size());
}

std::optional<TSeriesRange> RangeOfPoints(const SeriesSource& series, qint64 first, qint64 last)
{
    std::optional<TSeriesRange> range;
    for (qint64 p = first; p <= last; ++p) {
        if (const auto value = series.value(p))
            range = range ? TSeriesRange{std::min(range->min, *value), std::max(range->max, *value)}
                          : TSeriesRange{*value, *value};
    }
    return range;
}

void ExpectSameRange(const std::optional<TSeriesRange>& actual, const std::optional<TSeriesRange>& expected)
{
    ASSERT_EQ(bool(actual), bool(expected));
    if (actual) {
        EXPECT_EQ(actual->min, expected->min);
        EXPECT_EQ(actual->max, expected->max);
    }
}

void RussianLocaleTest::SetUp()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void RussianLocaleTest::TearDown()
{
    QLocale::setDefault(previous_);
}

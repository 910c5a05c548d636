#include "data/DataTestSupport.h"
#include "data/LogGenerator.h"
#include "data/MeasurementSeries.h"
#include "data/MeasurementStore.h"
#include "data/RowTableColumns.h"
#include "data/RowTexts.h"
#include "data/Timestamp.h"

#include <QRandomGenerator>

namespace {

const qint64 SampleBase = TimestampSeconds(2017, 6, 15, 12, 15, 30);
const QString SampleLabel = QStringLiteral("12:15:30\r15.06.2017");

constexpr TSeriesKind AllSeries[] = {TSeriesKind::T,     TSeriesKind::RH,    TSeriesKind::P,     TSeriesKind::TLMax,
                                     TSeriesKind::TLMin, TSeriesKind::RHLMax, TSeriesKind::RHLMin};

// The rows as a grid shows them: the header at 0, then the data rows and one empty row.
qint64 GridRowCount(const TMeasurementStore& store)
{
    return store.DataRowCount() + 2;
}

QStringList GridRow(const TMeasurementStore& store, qint64 gridRow)
{
    QStringList cells;
    for (int column = 0; column < RowTableColumnCount; ++column)
        cells.append(gridRow == 0 ? RowTableHeader(column) : TRowTexts(store).cellText(gridRow - 1, column));
    return cells;
}

std::shared_ptr<TRecordList> GeneratedList(qint64 records, quint32 seed)
{
    const QByteArray bytes = LogGenerator(seed).generate(records, TLogShape::Typical,
                                                         QDateTime(QDate(2025, 1, 1), QTime(0, 0)));
    const auto* raw = reinterpret_cast<const TLogRecord*>(bytes.constData());
    return ListOf(std::vector<TLogRecord>(raw, raw + records));
}

class MeasurementStoreTest : public RussianLocaleTest
{
protected:
    TMeasurementStore store_;
    const TRowTexts texts_{store_};
};

TEST_F(MeasurementStoreTest, StartsEmptyWithHeaderAndOneEmptyRow)
{
    EXPECT_EQ(store_.DataRowCount(), 0);
    EXPECT_EQ(GridRowCount(store_), 2);
    EXPECT_EQ(GridRow(store_, 0), QStringList({"#", "Дата", "Время", "Температура, *С", "Влажность, %",
                                                "Давление, кПа", "Дельта, с"}));
    EXPECT_EQ(GridRow(store_, 1), QStringList(7, QString()));
    EXPECT_EQ(DatePartOf(store_.firstTimestamp()), 0.0);
    EXPECT_EQ(TimePartOf(store_.lastTimestamp()), 0.0);
    for (TSeriesKind kind : AllSeries)
        EXPECT_EQ(TMeasurementSeries(store_, kind).pointCount(), 0);
}

TEST_F(MeasurementStoreTest, RecordOfThreeRepetitionsGivesThreeRowsAndPoints)
{
    const TLogRecord earlier = MakeLogRecord(1, 0x57, SampleBase - 3600, 200, 400, 1000);
    store_.showRecords(ListOf({earlier, TLogRecord{}, RecordFromHex(SampleRecordHex)}));

    ASSERT_EQ(store_.DataRowCount(), 4);
    EXPECT_EQ(GridRowCount(store_), 6);
    EXPECT_EQ(GridRow(store_, 1), QStringList({"1", "15.06.2017", "11:15:30", "20", "40", "100", "60"}));
    EXPECT_EQ(GridRow(store_, 2), QStringList({"2", "15.06.2017", "12:15:30", "23,5", "45,6", "101,3", "5"}));
    EXPECT_EQ(GridRow(store_, 3), QStringList({"3", "15.06.2017", "12:15:35", "23,5", "45,6", "101,3", "5"}));
    EXPECT_EQ(GridRow(store_, 4), QStringList({"4", "15.06.2017", "12:15:40", "23,5", "45,6", "101,3", "5"}));
    EXPECT_EQ(GridRow(store_, 5), QStringList(7, QString()));

    const double expected[] = {23.5, 45.6, 101.3, 36.9, 12.3, 67.4, 21.6};
    for (int s = 0; s < 7; ++s) {
        SCOPED_TRACE(s);
        const TMeasurementSeries series(store_, AllSeries[s]);
        ASSERT_EQ(series.pointCount(), 4);
        for (qint64 p = 1; p < 4; ++p) {
            EXPECT_EQ(series.value(p), expected[s]);
            EXPECT_EQ(series.label(p), SampleLabel);
        }
        EXPECT_EQ(series.label(0), "11:15:30\r15.06.2017");
    }

    EXPECT_EQ(DatePartOf(store_.firstTimestamp()), DatePartOf(SampleBase));
    EXPECT_EQ(TimePartOf(store_.firstTimestamp()), TimePartOf(SampleBase - 3600));
    EXPECT_EQ(DatePartOf(store_.lastTimestamp()), DatePartOf(SampleBase));
    EXPECT_EQ(TimePartOf(store_.lastTimestamp()), TimePartOf(SampleBase + 10)) << "the last row, not the last record's base";
}

TEST_F(MeasurementStoreTest, MissingChannelsGiveEmptyCellsAndNullPoints)
{
    // Mask 5: temperature and pressure only.
    store_.showRecords(ListOf({WithByte(RecordFromHex(SampleRecordHex), 1, 0x25)}));
    ASSERT_EQ(store_.DataRowCount(), 3);
    EXPECT_EQ(GridRow(store_, 2), QStringList({"2", "15.06.2017", "12:15:35", "23,5", "", "101,3", "5"}));
    const TMeasurementSeries humidity(store_, TSeriesKind::RH);
    const TMeasurementSeries temperature(store_, TSeriesKind::T);
    ASSERT_EQ(humidity.pointCount(), 3);
    for (qint64 p = 0; p < 3; ++p) {
        EXPECT_FALSE(humidity.value(p));
        EXPECT_EQ(humidity.label(p), QString());
        EXPECT_EQ(temperature.label(p), SampleLabel);
    }
    EXPECT_FALSE(humidity.range(0, 2));
    EXPECT_EQ(TMeasurementSeries(store_, TSeriesKind::RHLMax).value(1), 67.4);
}

TEST_F(MeasurementStoreTest, ValuesAreTenthsWithTheLocaleSeparator)
{
    TLogRecord record = RecordFromHex(SampleRecordHex);
    record = WithByte(WithByte(record, 8, 0xFB), 9, 0xFF);
    record = WithByte(WithByte(record, 10, 0xFB), 11, 0xFF);
    store_.showRecords(ListOf({record}));
    EXPECT_EQ(texts_.cellText(0, ColumnTemperature), "-0,5");
    EXPECT_EQ(texts_.cellText(0, ColumnHumidity), "6553,1");
    EXPECT_EQ(TMeasurementSeries(store_, TSeriesKind::T).value(0), -0.5);
}

TEST_F(MeasurementStoreTest, ReloadReplacesRowsAndAnEmptyLoadKeepsTheBounds)
{
    const TLogRecord sample = RecordFromHex(SampleRecordHex);
    store_.showRecords(ListOf({sample, MakeLogRecord(3, 0x27, SampleBase + 15, 1, 2, 3)}));
    ASSERT_EQ(store_.DataRowCount(), 6);

    store_.showRecords(ListOf({WithByte(sample, 0, 2)}));
    EXPECT_EQ(store_.DataRowCount(), 2);
    EXPECT_EQ(GridRow(store_, 3), QStringList(7, QString()));
    EXPECT_EQ(texts_.cellText(2, ColumnNumber), QString());
    for (TSeriesKind kind : AllSeries)
        EXPECT_EQ(TMeasurementSeries(store_, kind).pointCount(), 2);
    const double lastTime = TimePartOf(store_.lastTimestamp());

    store_.showRecords(ListOf({TLogRecord{}, TLogRecord{}}));
    EXPECT_EQ(store_.DataRowCount(), 0);
    EXPECT_EQ(GridRowCount(store_), 2);
    EXPECT_EQ(TMeasurementSeries(store_, TSeriesKind::TLMin).pointCount(), 0);
    EXPECT_EQ(DatePartOf(store_.firstTimestamp()), DatePartOf(SampleBase));
    EXPECT_EQ(TimePartOf(store_.lastTimestamp()), lastTime);

    store_.showRecords(ListOf({}));
    EXPECT_EQ(TimePartOf(store_.lastTimestamp()), lastTime);
}

TEST_F(MeasurementStoreTest, EveryRowMatchesItsRecordAndItsTextsParseBackToItsValues)
{
    const auto list = GeneratedList(600, 11);
    store_.showRecords(list);
    const QLocale locale = texts_.formatter().locale();
    const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    qint64 row = 0;
    for (qsizetype i = 0; i < list->size(); ++i) {
        const TExpandedRecord record = list->expanded(i);
        for (int j = 0; j < record.repeatCount; ++j, ++row) {
            SCOPED_TRACE(testing::Message() << "row " << row);
            const TRowValues values = store_.rowValues(row);
            const TRowValues expected = record.row(j, row + 1);
            ASSERT_EQ(values.time, expected.time);
            ASSERT_EQ(values.temperature, expected.temperature);
            ASSERT_EQ(values.number, row + 1);
            EXPECT_EQ(texts_.cellText(row, ColumnNumber).toLongLong(), values.number);
            EXPECT_EQ(locale.toDate(texts_.cellText(row, ColumnDate), dateFormat), DateOf(values.time));
            EXPECT_EQ(QTime::fromString(texts_.cellText(row, ColumnTime), "HH:mm:ss"), TimeOf(values.time));
            EXPECT_EQ(texts_.cellText(row, ColumnInterval).toInt(), values.intervalSeconds);
            const std::pair<int, std::optional<int>> channels[] = {
                {ColumnTemperature, values.temperature}, {ColumnHumidity, values.humidity}, {ColumnPressure, values.pressure}};
            for (const auto& [column, tenths] : channels) {
                const QString text = texts_.cellText(row, column);
                ASSERT_EQ(text.isEmpty(), !tenths);
                if (tenths) {
                    EXPECT_EQ(locale.toDouble(text), *tenths / 10.0) << qPrintable(text);
                }
            }
        }
    }
    EXPECT_EQ(row, store_.DataRowCount());
}

TEST_F(MeasurementStoreTest, SeriesRangesMatchTheirPoints)
{
    store_.showRecords(GeneratedList(3000, 5));
    QRandomGenerator random(17);
    const qint64 points = store_.DataRowCount();
    for (TSeriesKind kind : {TSeriesKind::T, TSeriesKind::RH, TSeriesKind::P, TSeriesKind::TLMax}) {
        const TMeasurementSeries series(store_, kind);
        for (int trial = 0; trial < 60; ++trial) {
            const qint64 first = random.bounded(points);
            const qint64 last = std::min(points - 1, first + (trial % 3 == 0 ? random.bounded(points) : random.bounded(40)));
            SCOPED_TRACE(testing::Message() << "points " << first << ".." << last);
            ExpectSameRange(series.range(first, last), RangeOfPoints(series, first, last));
        }
    }
}

TEST_F(MeasurementStoreTest, IntervalRunsFollowTheDeltaColumn)
{
    // Rows with "Дельта, с" 5, 5, 60, 60, 60, 5: the middle record stands for two rows.
    store_.showRecords(ListOf({MakeLogRecord(1, 0x27, SampleBase, 1, 1, 1), MakeLogRecord(1, 0x27, SampleBase + 5, 1, 1, 1),
                               MakeLogRecord(1, 0x57, SampleBase + 10, 1, 1, 1), MakeLogRecord(2, 0x57, SampleBase + 70, 1, 1, 1),
                               MakeLogRecord(1, 0x27, SampleBase + 190, 1, 1, 1)}));
    ASSERT_EQ(store_.intervalRunCount(), 3);
    const TIntervalRun expected[] = {{0, 1, 5}, {2, 4, 60}, {5, 5, 5}};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(store_.intervalRun(k).firstRow, expected[k].firstRow);
        EXPECT_EQ(store_.intervalRun(k).lastRow, expected[k].lastRow);
        EXPECT_EQ(store_.intervalRun(k).intervalSeconds, expected[k].intervalSeconds);
    }
    EXPECT_EQ(texts_.intervalRunText(0), "15.06.2017 12:15:30 - 15.06.2017 12:15:35");
    EXPECT_EQ(texts_.intervalRunText(1), "15.06.2017 12:15:40 - 15.06.2017 12:17:40");
}

} // namespace

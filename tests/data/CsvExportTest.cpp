#include "data/CsvExport.h"
#include "data/DataTestSupport.h"
#include "data/JobProgress.h"
#include "data/LogExport.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/Timestamp.h"

#include <QBuffer>

#include <functional>
#include <span>

namespace {

class CsvExportTest : public RussianLocaleTest
{
protected:
    // Loads a generated log of every mask and interval into the store.
    void loadGenerated(qint64 records)
    {
        const QByteArray log = LogGenerator(3).generate(records, TLogShape::Typical,
                                                        QDateTime(QDate(2023, 12, 31), QTime(22, 0)));
        const auto* raw = reinterpret_cast<const TLogRecord*>(log.constData());
        store_.showRecords(ListOf(std::vector<TLogRecord>(raw, raw + records)));
    }

    QList<QByteArray> exportedLines()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString error;
        EXPECT_TRUE(WriteCsv(store_, buffer, &error)) << error.toStdString();
        QList<QByteArray> lines = buffer.data().split('\n');
        EXPECT_TRUE(lines.last().isEmpty()); // the file ends with a line break
        lines.removeLast();
        return lines;
    }

    TMeasurementStore store_;
};

std::optional<int> tenthsOf(const QByteArray& field)
{
    if (field.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = field.toDouble(&ok);
    EXPECT_TRUE(ok) << field.toStdString();
    EXPECT_FALSE(field.contains(',')) << field.toStdString();
    return int(std::lround(value * 10));
}

TEST_F(CsvExportTest, EveryRowParsesBackToItsValuesAndTime)
{
    loadGenerated(3000);
    const QList<QByteArray> lines = exportedLines();
    ASSERT_EQ(lines.size(), store_.DataRowCount() + 1);
    EXPECT_EQ(QString::fromUtf8(lines[0]),
              QStringLiteral("\"#\",\"Дата и время\",\"Температура, *С\",\"Влажность, %\",\"Давление, кПа\",\"Дельта, с\""));

    bool sawGap = false;
    for (qint64 row = 0; row < store_.DataRowCount(); ++row) {
        const QList<QByteArray> fields = lines[row + 1].split(',');
        ASSERT_EQ(fields.size(), 6) << row;
        const TRowValues expected = store_.rowValues(row);
        EXPECT_EQ(fields[0].toLongLong(), expected.number);
        const QDateTime moment = QDateTime::fromString(QString::fromLatin1(fields[1]), Qt::ISODate);
        ASSERT_TRUE(moment.isValid()) << fields[1].toStdString();
        EXPECT_EQ(moment.timeSpec(), Qt::LocalTime); // no zone: the logger keeps local time
        const QDate date = moment.date();
        const QTime time = moment.time();
        EXPECT_EQ(TimestampSeconds(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()),
                  expected.time)
            << row;
        EXPECT_EQ(tenthsOf(fields[2]), expected.temperature) << row;
        EXPECT_EQ(tenthsOf(fields[3]), expected.humidity) << row;
        EXPECT_EQ(tenthsOf(fields[4]), expected.pressure) << row;
        EXPECT_EQ(fields[5].toInt(), expected.intervalSeconds) << row;
        sawGap = sawGap || !expected.humidity || !expected.pressure;
    }
    EXPECT_TRUE(sawGap); // the log has rows with absent channels
}

TEST_F(CsvExportTest, NegativeTenthsAndAnEmptyStore)
{
    store_.showRecords(ListOf({MakeLogRecord(2, 0x25, TimestampSeconds(2024, 2, 29, 23, 59, 59), -5, 0, 0)}));
    const QList<QByteArray> lines = exportedLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1], QByteArray("1,2024-02-29T23:59:59,-0.5,,0.0,5"));
    EXPECT_EQ(lines[2], QByteArray("2,2024-03-01T00:00:04,-0.5,,0.0,5"));

    store_.showRecords(ListOf({}));
    EXPECT_EQ(exportedLines().size(), 1);
}

TEST_F(CsvExportTest, AWriteThatFailsIsReported)
{
    loadGenerated(10);
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    QString error;
    EXPECT_FALSE(WriteCsv(store_, readOnly, &error));
    EXPECT_FALSE(error.isEmpty());
}

// Both writers of the viewer's exports report their progress and stop at
// the first report after a cancel, with the reason the window shows.
TEST_F(CsvExportTest, ExportsReportProgressAndStopWhenCancelled)
{
    const QByteArray log = LogGenerator(3).generate(20000, TLogShape::Typical, QDateTime(QDate(2023, 12, 31), QTime(22, 0)));
    const auto* raw = reinterpret_cast<const TLogRecord*>(log.constData());
    const std::span<const TLogRecord> records(raw, 20000);
    store_.showRecords(ListOf(std::vector<TLogRecord>(records.begin(), records.end())));
    struct Case {
        const char* name;
        std::function<bool(QIODevice&, QString*, TJobProgress*)> write;
        qint64 total;
    };
    const Case cases[] = {
        {"csv", [this](QIODevice& device, QString* error, TJobProgress* progress) {
             return WriteCsv(store_, device, error, progress);
         }, store_.DataRowCount()},
        {"log", [records](QIODevice& device, QString* error, TJobProgress* progress) {
             return WriteRawLog(records, device, error, progress);
         }, qint64(records.size())},
    };
    for (const Case& c : cases) {
        QBuffer whole;
        whole.open(QIODevice::WriteOnly);
        TJobProgress running;
        QString error;
        EXPECT_TRUE(c.write(whole, &error, &running)) << c.name;
        EXPECT_EQ(running.total(), c.total) << c.name;
        EXPECT_GT(running.done(), c.total / 2) << c.name;

        QBuffer cut;
        cut.open(QIODevice::WriteOnly);
        TJobProgress cancelled;
        cancelled.cancel();
        EXPECT_FALSE(c.write(cut, &error, &cancelled)) << c.name;
        EXPECT_EQ(error, TJobProgress::cancelledReason()) << c.name;
        EXPECT_LT(cut.size(), whole.size() / 2) << c.name;
    }
}

} // namespace

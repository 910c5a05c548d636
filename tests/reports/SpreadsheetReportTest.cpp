#include "reports/SpreadsheetReport.h"

#include "FileFaults.h"

#include "data/DataTestSupport.h"
#include "data/JobProgress.h"
#include "data/MeasurementStore.h"
#include "data/Timestamp.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// The report as a real .xlsx reader sees it: one JSON object per sheet.
QJsonArray readBack(const QString& path)
{
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(DUMP_XLSX_SCRIPT), path});
    EXPECT_TRUE(reader.waitForFinished(60000));
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
}

class SpreadsheetReportTest : public RussianLocaleTest
{
protected:
    // Two records: 3 rows with every channel, then 2 rows without humidity.
    void loadSample()
    {
        store_.showRecords(ListOf({MakeLogRecord(3, 0x27, TimestampSeconds(2023, 12, 31, 23, 59, 55), 235, 456, 1013),
                                   MakeLogRecord(2, 0x55, TimestampSeconds(2024, 1, 1, 0, 0, 10), -12, 0, 998)}));
    }

    QJsonArray report(qint64 rowsPerSheet = SheetRowLimit)
    {
        const QString path = dir_.filePath("report.xlsx");
        QString error;
        const TReportHeader header{QDateTime(QDate(2025, 12, 8), QTime(14, 30, 15)), QStringLiteral("2400123")};
        EXPECT_TRUE(BuildSpreadsheetReport(store_, header, path, &error, rowsPerSheet)) << error.toStdString();
        return readBack(path);
    }

    static QJsonObject cell(const QJsonArray& sheets, int sheet, const QString& address)
    {
        return sheets[sheet].toObject()["cells"].toObject()[address].toObject();
    }

    TMeasurementStore store_;
    QTemporaryDir dir_;
};

TEST_F(SpreadsheetReportTest, HeaderStatisticsAndTheTableStandWhereTheyBelong)
{
    loadSample();
    const QJsonArray sheets = report();
    ASSERT_EQ(sheets.size(), 1);

    EXPECT_TRUE(cell(sheets, 0, "B1")["is_date"].toBool());
    EXPECT_EQ(cell(sheets, 0, "B1")["value"].toString(), QStringLiteral("2025-12-08T00:00:00"));
    EXPECT_TRUE(cell(sheets, 0, "C1")["is_date"].toBool());
    EXPECT_EQ(cell(sheets, 0, "C1")["value"].toString(), QStringLiteral("14:30:15"));
    EXPECT_EQ(cell(sheets, 0, "E1")["value"].toString(), QStringLiteral("Прибор:"));
    EXPECT_EQ(cell(sheets, 0, "F1")["value"].toString(), QStringLiteral("2400123"));
    for (const char* address : {"B1", "C1", "E1", "F1"})
        EXPECT_TRUE(cell(sheets, 0, address)["bold"].toBool()) << address;

    EXPECT_EQ(cell(sheets, 0, "B3")["value"].toString(), QStringLiteral("Начало измерений: 23:59:55 31.12.2023"));
    EXPECT_EQ(cell(sheets, 0, "B4")["value"].toString(), QStringLiteral("Конец измерений: 00:01:10 01.01.2024"));
    EXPECT_EQ(cell(sheets, 0, "E3")["value"].toString(), QStringLiteral("Количество измерений: 5"));

    const QJsonObject widths = sheets[0].toObject()["widths"].toObject();
    for (const char* column : {"A", "B", "C"})
        EXPECT_NEAR(widths[column].toDouble(), 11.71, 0.01) << column;  // 11 characters and the cell padding
    for (const char* column : {"D", "E", "F"})
        EXPECT_NEAR(widths[column].toDouble(), 16.71, 0.01) << column;

    const QStringList headers = {"#", "Дата", "Время", "Температура, *С", "Влажность, %", "Давление, кПа"};
    for (int column = 0; column < 6; ++column) {
        const QJsonObject header = cell(sheets, 0, QString(QChar('A' + column)) + "6");
        EXPECT_EQ(header["value"].toString(), headers[column]);
        EXPECT_TRUE(header["bold"].toBool());
        EXPECT_TRUE(header["italic"].toBool());
        EXPECT_EQ(header["fill"].toString(), QStringLiteral("FFFFFFCC"));
    }
}

TEST_F(SpreadsheetReportTest, DataCellsAreNumbersDatesAndTimesInAFullGrid)
{
    loadSample();
    const QJsonArray sheets = report();
    struct Expected {
        const char* address;
        QJsonValue value;
        const char* format;
        bool isDate;
    };
    const Expected expected[] = {
        {"A7", 1, "0", false},
        {"B7", "2023-12-31T00:00:00", "dd.mm.yyyy", true},
        {"C7", "23:59:55", "hh:mm:ss", true},
        {"D7", 23.5, "0.0", false},
        {"E7", 45.6, "0.0", false},
        {"F7", 101.3, "0.0", false},
        {"C9", "00:00:05", "hh:mm:ss", true},
        {"B10", "2024-01-01T00:00:00", "dd.mm.yyyy", true},
        {"D10", -1.2, "0.0", false},
        {"F11", 99.8, "0.0", false},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.address);
        const QJsonObject c = cell(sheets, 0, e.address);
        EXPECT_EQ(c["value"], e.value);
        EXPECT_EQ(c["format"].toString(), QString::fromLatin1(e.format));
        EXPECT_EQ(c["is_date"].toBool(), e.isDate);
        EXPECT_EQ(c["align"].toString(), QStringLiteral("center"));
    }
    // An absent channel leaves its cell empty but inside the grid.
    EXPECT_TRUE(cell(sheets, 0, "E10")["value"].isNull());
    const QJsonArray thin = {"thin", "thin", "thin", "thin"};
    for (int row = 6; row <= 11; ++row) {
        for (char column = 'A'; column <= 'F'; ++column) {
            const QString address = QString(QChar(column)) + QString::number(row);
            EXPECT_EQ(cell(sheets, 0, address)["borders"].toArray(), thin) << address.toStdString();
        }
    }
    EXPECT_TRUE(cell(sheets, 0, "A12").isEmpty());  // row n + 7 stays empty
    EXPECT_EQ(cell(sheets, 0, "E13")["value"].toString(), QStringLiteral("Метролог:_________________"));
    EXPECT_EQ(sheets[0].toObject()["max_row"].toInt(), 23);
}

// The limit lines follow the signature after one empty row, in column B, so
// the header, the table and the signature keep their places.
TEST_F(SpreadsheetReportTest, LimitLinesFollowTheSignature)
{
    loadSample();
    const QJsonArray sheets = report();
    EXPECT_TRUE(cell(sheets, 0, "A14").isEmpty() && cell(sheets, 0, "B14").isEmpty());
    // 23.5 for 15 s and -1.2 for 120 s; the 120 s below 12.3 are one excursion.
    const QStringList lines{QStringLiteral("Средняя кинетическая температура, *С: 7,8"),
                            QStringLiteral("Время выше 36,9 *С: 0:00:00"),
                            QStringLiteral("Выходов выше 36,9 *С: 0"),
                            QStringLiteral("Время ниже 12,3 *С: 0:02:00"),
                            QStringLiteral("Выходов ниже 12,3 *С: 1"),
                            QStringLiteral("Время выше 67,4 %: 0:00:00"),
                            QStringLiteral("Выходов выше 67,4 %: 0"),
                            QStringLiteral("Время ниже 21,6 %: 0:00:00"),
                            QStringLiteral("Выходов ниже 21,6 %: 0")};
    for (int line = 0; line < lines.size(); ++line) {
        const QString address = QStringLiteral("B%1").arg(15 + line);
        EXPECT_EQ(cell(sheets, 0, address)["value"].toString(), lines[line]) << address.toStdString();
    }
}

TEST_F(SpreadsheetReportTest, RowsBeyondASheetContinueOnTheNextWithTheHeader)
{
    store_.showRecords(ListOf({MakeLogRecord(50, 0x27, TimestampSeconds(2024, 5, 1, 8, 0, 0), 200, 500, 1000)}));
    const QJsonArray sheets = report(20);  // 14 rows fit under the first sheet's header, 19 on the others
    ASSERT_EQ(sheets.size(), 4);  // the signature ends the third sheet; the limit lines take a fourth
    QList<int> numbers;
    for (int sheet = 0; sheet < 3; ++sheet) {
        const int headerRow = sheet == 0 ? 6 : 1;
        EXPECT_EQ(cell(sheets, sheet, QStringLiteral("A%1").arg(headerRow))["value"].toString(), QStringLiteral("#"));
        EXPECT_TRUE(cell(sheets, sheet, QStringLiteral("A%1").arg(headerRow))["italic"].toBool());
        for (int row = headerRow + 1; row <= 20; ++row) {
            const QJsonObject number = cell(sheets, sheet, QStringLiteral("A%1").arg(row));
            if (!number.isEmpty() && number["type"].toString() == "n")
                numbers.append(number["value"].toInt());
        }
    }
    QList<int> expected;
    for (int n = 1; n <= 50; ++n)
        expected.append(n);
    EXPECT_EQ(numbers, expected);
    EXPECT_EQ(cell(sheets, 2, "E20")["value"].toString(), QStringLiteral("Метролог:_________________"));
    EXPECT_EQ(cell(sheets, 3, "B1")["value"].toString(), QStringLiteral("Средняя кинетическая температура, *С: 20,0"));
    EXPECT_EQ(cell(sheets, 3, "B9")["value"].toString(), QStringLiteral("Выходов ниже 21,6 %: 0"));
}

TEST_F(SpreadsheetReportTest, AFileThatCannotBeWrittenIsReported)
{
    loadSample();
    QString error;
    EXPECT_FALSE(BuildSpreadsheetReport(store_, {}, dir_.filePath("no/such/folder/r.xlsx"), &error));
    EXPECT_EQ(error, QStringLiteral("папка не существует"));
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("no/such/folder/r.xlsx")));
    EXPECT_EQ(store_.DataRowCount(), 5);
}

// A cancel stops the rows at once: no file, no temporary file of the
// library or of the save, and an earlier report of that name stays.
TEST_F(SpreadsheetReportTest, ACancelledReportLeavesEveryFileAsItWas)
{
    std::vector<TLogRecord> days;
    for (int day = 1; day <= 40; ++day)
        days.push_back(MakeLogRecord(255, 0x27, TimestampSeconds(2024, 1, day, 0, 0, 0), 235, 456, 1013));
    store_.showRecords(ListOf(days));
    const QString path = dir_.filePath("report.xlsx");
    for (const QByteArray& earlier : {QByteArray(), QByteArray("the earlier report")}) {
        QFile::remove(path);
        if (!earlier.isEmpty()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(earlier);
        }
        TJobProgress progress;
        progress.cancel();
        QString error;
        EXPECT_FALSE(BuildSpreadsheetReport(store_, {}, path, &error, SheetRowLimit, &progress));
        EXPECT_EQ(error, TJobProgress::cancelledReason());
        // The rows, then the zipping of the book, which weighs as much.
        EXPECT_EQ(progress.total(), 2 * store_.DataRowCount());
        const QStringList files = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(files, earlier.isEmpty() ? QStringList() : QStringList{"report.xlsx"});
        if (!earlier.isEmpty()) {
            QFile kept(path);
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), earlier);
        }
    }
}

// The library parks every sheet's XML until the book is zipped: on a disk
// without room for that and the file, the report is refused before it starts,
// with the figures, and the earlier report stays.
TEST_F(SpreadsheetReportTest, ADiskWithoutTheRoomItNeedsIsRefusedAtOnce)
{
    FullTmpfs disk(512);
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot().toStdString();
    std::vector<TLogRecord> days;
    for (int day = 1; day <= 8; ++day)
        days.push_back(MakeLogRecord(255, 0x27, TimestampSeconds(2024, 1, day, 0, 0, 0), 235, 456, 1013));
    store_.showRecords(ListOf(days));
    ASSERT_GT(SpreadsheetReportSpace(store_.DataRowCount()), 512 * 1024);
    disk.place("report.xlsx", "the earlier report");
    QString error;
    EXPECT_FALSE(BuildSpreadsheetReport(store_, {}, disk.filePath("report.xlsx"), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("нет места на диске: отчёту нужно около "))) << error.toStdString();
    QFile kept(disk.filePath("report.xlsx"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the earlier report");
    EXPECT_EQ(disk.strayFiles({"report.xlsx"}), QStringList());
}

} // namespace

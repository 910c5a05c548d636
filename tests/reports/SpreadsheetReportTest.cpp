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
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimeZone>

#include <cmath>

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
    static constexpr int Summary = 0;
    static constexpr int Data = 1;

    // Two records: 3 rows with every channel, then 2 rows without humidity.
    void loadSample()
    {
        store_.showRecords(ListOf({MakeLogRecord(3, 0x27, TimestampSeconds(2023, 12, 31, 23, 59, 55), 235, 456, 1013),
                                   MakeLogRecord(2, 0x55, TimestampSeconds(2024, 1, 1, 0, 0, 10), -12, 0, 998)}));
    }

    QJsonArray report(qint64 rowsPerSheet = SheetRowLimit, const TUserLimits& limits = {})
    {
        const QString path = dir_.filePath("report.xlsx");
        QString error;
        const TReportHeader header{QDateTime(QDate(2025, 12, 8), QTime(14, 30, 15)), QStringLiteral("2400123"),
                                   limits};
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
    ASSERT_EQ(sheets.size(), 2);

    EXPECT_TRUE(cell(sheets, Data, "B1")["is_date"].toBool());
    EXPECT_EQ(cell(sheets, Data, "B1")["value"].toString(), QStringLiteral("2025-12-08T00:00:00"));
    EXPECT_TRUE(cell(sheets, Data, "C1")["is_date"].toBool());
    EXPECT_EQ(cell(sheets, Data, "C1")["value"].toString(), QStringLiteral("14:30:15"));
    EXPECT_EQ(cell(sheets, Data, "E1")["value"].toString(), QStringLiteral("Прибор:"));
    EXPECT_EQ(cell(sheets, Data, "F1")["value"].toString(), QStringLiteral("2400123"));
    for (const char* address : {"B1", "C1", "E1", "F1"})
        EXPECT_TRUE(cell(sheets, Data, address)["bold"].toBool()) << address;

    EXPECT_EQ(cell(sheets, Data, "B3")["value"].toString(), QStringLiteral("Начало измерений: 23:59:55 31.12.2023"));
    EXPECT_EQ(cell(sheets, Data, "B4")["value"].toString(), QStringLiteral("Конец измерений: 00:01:10 01.01.2024"));
    EXPECT_EQ(cell(sheets, Data, "E3")["value"].toString(), QStringLiteral("Количество измерений: 5"));

    const QJsonObject widths = sheets[Data].toObject()["widths"].toObject();
    for (const char* column : {"A", "B", "C"})
        EXPECT_NEAR(widths[column].toDouble(), 11.71, 0.01) << column;  // 11 characters and the cell padding
    for (const char* column : {"D", "E", "F"})
        EXPECT_NEAR(widths[column].toDouble(), 16.71, 0.01) << column;

    const QStringList headers = {"#", "Дата", "Время", "Температура, *С", "Влажность, %", "Давление, кПа"};
    for (int column = 0; column < 6; ++column) {
        const QJsonObject header = cell(sheets, Data, QString(QChar('A' + column)) + "6");
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
        const QJsonObject c = cell(sheets, Data, e.address);
        EXPECT_EQ(c["value"], e.value);
        EXPECT_EQ(c["format"].toString(), QString::fromLatin1(e.format));
        EXPECT_EQ(c["is_date"].toBool(), e.isDate);
        EXPECT_EQ(c["align"].toString(), QStringLiteral("center"));
    }
    // An absent channel leaves its cell empty but inside the grid.
    EXPECT_TRUE(cell(sheets, Data, "E10")["value"].isNull());
    const QJsonArray thin = {"thin", "thin", "thin", "thin"};
    for (int row = 6; row <= 11; ++row) {
        for (char column = 'A'; column <= 'F'; ++column) {
            const QString address = QString(QChar(column)) + QString::number(row);
            EXPECT_EQ(cell(sheets, Data, address)["borders"].toArray(), thin) << address.toStdString();
        }
    }
    EXPECT_TRUE(cell(sheets, Data, "A12").isEmpty());  // row n + 7 stays empty
    EXPECT_EQ(cell(sheets, Data, "E13")["value"].toString(), QStringLiteral("Метролог:_________________"));
    EXPECT_EQ(sheets[Data].toObject()["max_row"].toInt(), 13);  // nothing below the signature
}

// Rows of the summary fixture: runs of equal rows, each starting where the
// previous one ends, against the limits 2..8 °C, 35..60 % and 100..102 kPa.
struct FixtureRun {
    int rows;
    int seconds;  // recording interval
    int temperature;  // tenths
    int humidity;
    int pressure;
};
const FixtureRun SummaryFixture[] = {
    {4, 5, 50, 456, 1013},   {2, 5, 91, 612, 1025},  // above 8 °C, 60 % and 102 kPa
    {3, 5, 60, 456, 1013},   {1, 60, 15, 300, 995},  // below 2 °C, 35 % and 100 kPa
    {2, 60, -4, 456, 990},   // still below 2 °C and 100 kPa: the same excursions
    {2, 5, 80, 600, 1020},   // on the limits: not beyond
    {1, 5, 85, 456, 1013},   // above 8 °C again
};
constexpr TUserLimits PharmacyLimits{20, 80, 350, 600, 1000, 1020};

// A line of "Сводка" as a reader sees it: its caption, and its value with
// the number format the value cell shows it in.
struct SummaryCell {
    QString caption;
    QJsonValue value;
    QString format;
};

// What the summary must hold, worked out here row by row from the fixture:
// texts only where no number is meant, moments as dates with their time,
// figures in tenths, counts as whole numbers and times beyond a level as
// durations, read back in seconds.
QList<SummaryCell> expectedSummary()
{
    struct Row {
        qint64 time;  // seconds from the first row
        int seconds;
        int temperature;
        int humidity;
        int pressure;
    };
    QList<Row> rows;
    qint64 time = 0;
    for (const FixtureRun& run : SummaryFixture) {
        for (int row = 0; row < run.rows; ++row, time += run.seconds)
            rows.append({time, run.seconds, run.temperature, run.humidity, run.pressure});
    }
    const QString tenths = QStringLiteral("0.0");
    const QString whole = QStringLiteral("0");
    auto moment = [](qint64 seconds) {
        return QDateTime(QDate(2024, 5, 1), QTime(8, 0), QTimeZone::utc())
            .addSecs(seconds)
            .toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
    };
    auto channel = [&](auto value, const QString& max, const QString& mean, const QString& min) {
        int high = value(rows.first()), low = high;
        double sum = 0;
        for (const Row& row : rows) {
            high = std::max(high, value(row));
            low = std::min(low, value(row));
            sum += value(row);
        }
        return QList<SummaryCell>{{max, high / 10.0, tenths},
                                  {mean, std::round(sum / rows.size()) / 10.0, tenths},
                                  {min, low / 10.0, tenths}};
    };
    // Time beyond a level and the number of separate runs beyond it.
    auto excursion = [&](auto beyond, const QString& side) {
        qint64 seconds = 0;
        int runs = 0;
        bool previous = false;
        for (const Row& row : rows) {
            const bool now = beyond(row);
            seconds += now ? row.seconds : 0;
            runs += now && !previous ? 1 : 0;
            previous = now;
        }
        return QList<SummaryCell>{{"Время " + side, double(seconds), QStringLiteral("[h]:mm:ss")},
                                  {"Выходов " + side, runs, whole}};
    };
    // Mean kinetic temperature: every row weighs its interval.
    const double energyOverR = 83144.0 / 8.314462618;
    double weighted = 0;
    double seconds = 0;
    for (const Row& row : rows) {
        weighted += row.seconds * std::exp(-energyOverR / (row.temperature / 10.0 + 273.15));
        seconds += row.seconds;
    }
    const double kinetic = energyOverR / -std::log(weighted / seconds) - 273.15;

    const QString momentFormat = QStringLiteral("hh:mm:ss dd.mm.yyyy");
    QList<SummaryCell> lines{{"Прибор", "2400123", "General"},
                             {"Начало измерений", moment(rows.first().time), momentFormat},
                             {"Конец измерений", moment(rows.last().time), momentFormat},
                             {"Количество измерений", rows.size(), whole}};
    lines += channel([](const Row& r) { return r.temperature; }, "Максимальная темепература, *С",
                     "Средняя темепература, *С", "Минимальная темепература, *С");
    lines += channel([](const Row& r) { return r.humidity; }, "Максимальная влажность, %", "Средняя влажность,%",
                     "Минимальная влажность, %");
    lines += channel([](const Row& r) { return r.pressure; }, "Максимальное давление, кПа", "Среднее давление, кПа",
                     "Минимальное давление, кПа");
    lines += {{"Нижний предел температуры, *С", 2.0, tenths},
              {"Верхний предел температуры, *С", 8.0, tenths},
              {"Нижний предел влажности, %", 35.0, tenths},
              {"Верхний предел влажности, %", 60.0, tenths},
              {"Нижний предел давления, кПа", 100.0, tenths},
              {"Верхний предел давления, кПа", 102.0, tenths},
              {"Средняя кинетическая температура, *С", std::round(kinetic * 10) / 10, tenths}};
    lines += excursion([](const Row& r) { return r.temperature > 80; }, "выше 8,0 *С");
    lines += excursion([](const Row& r) { return r.temperature < 20; }, "ниже 2,0 *С");
    lines += excursion([](const Row& r) { return r.humidity > 600; }, "выше 60,0 %");
    lines += excursion([](const Row& r) { return r.humidity < 350; }, "ниже 35,0 %");
    lines += excursion([](const Row& r) { return r.pressure > 1020; }, "выше 102,0 кПа");
    lines += excursion([](const Row& r) { return r.pressure < 1000; }, "ниже 100,0 кПа");
    return lines;
}

// The first sheet, "Сводка", holds every figure a metrologist files: read back
// and compared with the figures worked out from the fixture's rows, the
// excursions counted against the user's 2 and 8 °C. Its figures are numbers a
// spreadsheet computes with, in the report's formats, beside the captions.
TEST_F(SpreadsheetReportTest, TheSummarySheetComesFirstWithTheFiguresOfTheRows)
{
    std::vector<TLogRecord> records;
    qint64 time = TimestampSeconds(2024, 5, 1, 8, 0, 0);
    for (const FixtureRun& run : SummaryFixture) {
        const int code = run.seconds == 5 ? 2 : 5;
        records.push_back(
            MakeLogRecord(run.rows, code << 4 | 7, time, run.temperature, run.humidity, quint16(run.pressure)));
        time += qint64(run.rows) * run.seconds;
    }
    store_.showRecords(ListOf(records));
    const QJsonArray sheets = report(SheetRowLimit, PharmacyLimits);
    ASSERT_EQ(sheets.size(), 2);
    EXPECT_EQ(sheets[Summary].toObject()["title"].toString(), QStringLiteral("Сводка"));
    EXPECT_EQ(sheets[Data].toObject()["title"].toString(), QStringLiteral("Данные"));
    EXPECT_EQ(cell(sheets, Summary, "A1")["value"].toString(), QStringLiteral("Отчёт за весь журнал"));
    EXPECT_TRUE(cell(sheets, Summary, "A1")["bold"].toBool());

    // Caption and value in columns A and B, groups apart by one empty row.
    QList<SummaryCell> found;
    const QJsonObject cells = sheets[Summary].toObject()["cells"].toObject();
    for (int row = 2; row <= sheets[Summary].toObject()["max_row"].toInt(); ++row) {
        const QString caption = cells[QStringLiteral("A%1").arg(row)].toObject()["value"].toString();
        const QJsonObject value = cells[QStringLiteral("B%1").arg(row)].toObject();
        if (!caption.isEmpty())
            found.append({caption, value["value"], value["format"].toString()});
    }
    const QList<SummaryCell> expected = expectedSummary();
    ASSERT_EQ(found.size(), expected.size());
    for (qsizetype line = 0; line < expected.size(); ++line) {
        SCOPED_TRACE(expected[line].caption.toStdString());
        EXPECT_EQ(found[line].caption, expected[line].caption);
        EXPECT_EQ(found[line].value, expected[line].value);
        EXPECT_EQ(found[line].format, expected[line].format);
    }
    for (int row : {2, 4, 17, 24})
        EXPECT_TRUE(cells[QStringLiteral("A%1").arg(row)].toObject()["value"].isNull()) << row;
}

// A channel no row carries has no figures: its lines say so in a text, and
// nothing is beyond its levels.
TEST_F(SpreadsheetReportTest, TheSummaryOfALogWithoutPressureHasNoPressureFigures)
{
    store_.showRecords(ListOf({MakeLogRecord(6, 0x53, TimestampSeconds(2024, 5, 1, 8, 0, 0), 235, 456, 1200)}));
    const QJsonObject cells = report()[Summary].toObject()["cells"].toObject();
    auto value = [&cells](const QString& caption) -> QJsonValue {
        for (const QString& address : cells.keys()) {
            if (address.startsWith(u'A') && cells[address].toObject()["value"].toString() == caption)
                return cells[QStringLiteral("B") + address.mid(1)].toObject()["value"];
        }
        return QJsonValue::Undefined;
    };
    for (const char* caption : {"Максимальное давление, кПа", "Среднее давление, кПа", "Минимальное давление, кПа"})
        EXPECT_EQ(value(QString::fromUtf8(caption)), QJsonValue(QStringLiteral("—"))) << caption;
    EXPECT_EQ(value(QStringLiteral("Средняя темепература, *С")), QJsonValue(23.5));
    EXPECT_EQ(value(QStringLiteral("Время выше 106,7 кПа")), QJsonValue(0.0));
    EXPECT_EQ(value(QStringLiteral("Выходов ниже 84,0 кПа")), QJsonValue(0));
}

TEST_F(SpreadsheetReportTest, RowsBeyondASheetContinueOnTheNextWithTheHeader)
{
    store_.showRecords(ListOf({MakeLogRecord(50, 0x27, TimestampSeconds(2024, 5, 1, 8, 0, 0), 200, 500, 1000)}));
    const QJsonArray sheets = report(20);  // 14 rows fit under the first sheet's header, 19 on the others
    ASSERT_EQ(sheets.size(), 4);  // the summary, then three data sheets, the signature ending the third
    QList<int> numbers;
    for (int sheet = Data; sheet < 4; ++sheet) {
        const int headerRow = sheet == Data ? 6 : 1;
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
    EXPECT_EQ(cell(sheets, 3, "E20")["value"].toString(), QStringLiteral("Метролог:_________________"));
    EXPECT_EQ(sheets[3].toObject()["max_row"].toInt(), 20);
}

// Printed, every sheet runs one A4 page wide in landscape, however long,
// with its table header on every page and the page number in the footer.
TEST_F(SpreadsheetReportTest, EverySheetPrintsOnePageWideWithItsHeaderOnEveryPage)
{
    store_.showRecords(ListOf({MakeLogRecord(50, 0x27, TimestampSeconds(2024, 5, 1, 8, 0, 0), 200, 500, 1000)}));
    const QJsonArray sheets = report(20);
    ASSERT_EQ(sheets.size(), 4);
    struct Expected {
        const char* title;
        QJsonValue titleRows;
        const char* area;
        int pagesTall;  // 0: as many as the rows need
    };
    const Expected expected[] = {
        {"Сводка", QJsonValue::Null, "$A$1:$B$37", 1},  // one page, as it is filed
        {"Данные", "$6:$6", "$A$1:$F$20", 0},
        {"Данные 2", "$1:$1", "$A$1:$F$20", 0},
        {"Данные 3", "$1:$1", "$A$1:$F$20", 0},  // 17 rows and the signature in row 20
    };
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        const QJsonObject sheet = sheets[index].toObject();
        const QJsonObject print = sheet["print"].toObject();
        EXPECT_EQ(sheet["title"].toString(), QString::fromUtf8(expected[index].title));
        EXPECT_EQ(print["orientation"].toString(), QStringLiteral("landscape"));
        EXPECT_EQ(print["paper"].toInt(), 9);
        EXPECT_TRUE(print["fit_to_page"].toBool());
        EXPECT_EQ(print["fit_width"].toInt(), 1);
        EXPECT_EQ(print["fit_height"].toInt(), expected[index].pagesTall);
        EXPECT_EQ(print["title_rows"], expected[index].titleRows);
        EXPECT_EQ(print["area"].toString(), QString::fromUtf8(expected[index].area));
        EXPECT_EQ(print["footer"].toString(), QStringLiteral("Страница &P из &N"));
    }
}

// A real spreadsheet program prints the report of 23,000 rows one page wide:
// every data page repeats the table's header and holds whole rows of all six
// columns, and there are as many pages as the rows need, not a second run of
// pages for the columns that did not fit.
TEST_F(SpreadsheetReportTest, ASpreadsheetProgramPrintsItOnePageWideWithTheHeaderOnEveryPage)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "no spreadsheet program to print with (Debian's libreoffice-calc-nogui): printing unchecked";
    std::vector<TLogRecord> records;
    for (int record = 0; record < 92; ++record) {
        records.push_back(MakeLogRecord(250, 0x27, TimestampSeconds(2024, 1, 1, 0, 0, 0) + record * 1250,
                                        qint16(200 + record), 500, 1000));
    }
    store_.showRecords(ListOf(records));
    constexpr int Rows = 23000;
    ASSERT_EQ(store_.DataRowCount(), Rows);
    const QString path = dir_.filePath("report.xlsx");
    QString error;
    ASSERT_TRUE(BuildSpreadsheetReport(store_, {QDateTime::currentDateTime(), QStringLiteral("2400123")}, path,
                                       &error))
        << error.toStdString();

    QProcess print;
    print.setProcessChannelMode(QProcess::MergedChannels);
    print.start(office, {QStringLiteral("-env:UserInstallation=file://") + dir_.filePath("profile"),
                         QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                         QStringLiteral("--outdir"), dir_.path(), path});
    ASSERT_TRUE(print.waitForFinished(600000));
    ASSERT_TRUE(QFileInfo::exists(dir_.filePath("report.pdf"))) << print.readAll().toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), dir_.filePath("report.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(120000));
    QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();

    // A whole row: number, date, time and the three values on one line.
    const QRegularExpression row(
        QStringLiteral(R"(^\s*(\d+)\s+\d\d\.\d\d\.\d{4}\s+\d\d:\d\d:\d\d\s+-?\d+[.,]\d\s+\d+[.,]\d\s+\d+[.,]\d\s*$)"));
    ASSERT_GE(pages.size(), 3);
    // The summary, title to last line, is the first page.
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Отчёт за весь журнал")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Выходов ниже 84,0 кПа"))) << pages[0].toStdString();
    QList<int> rowsPerPage;
    int expectedNumber = 1;
    for (qsizetype page = 1; page < pages.size(); ++page) {
        int rows = 0;
        for (const QString& line : pages[page].split(u'\n')) {
            const QRegularExpressionMatch match = row.match(line);
            if (!match.hasMatch())
                continue;
            ASSERT_EQ(match.captured(1).toInt(), expectedNumber) << "page " << page + 1;
            ++expectedNumber;
            ++rows;
        }
        if (rows > 0) {
            EXPECT_TRUE(pages[page].contains(QStringLiteral("Давление, кПа")) && pages[page].contains(u'#'))
                << "page " << page + 1 << " without the table's header";
        }
        rowsPerPage.append(rows);
    }
    EXPECT_EQ(expectedNumber - 1, Rows);
    // Every page between the first and the last is full; the signature may take a page of its own.
    const int full = rowsPerPage.value(1);
    ASSERT_GT(full, 20);
    const int first = rowsPerPage.first();
    const int dataPages = 1 + (Rows - first + full - 1) / full;
    EXPECT_GE(pages.size() - 1, dataPages);
    EXPECT_LE(pages.size() - 1, dataPages + 1);
    for (int page = 1; page + 1 < dataPages; ++page)
        EXPECT_EQ(rowsPerPage[page], full) << "page " << page + 2;
    EXPECT_TRUE(pages.last().contains(QStringLiteral("Метролог:")));
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
        // The rows, the zipping of the book, which weighs as much, and the
        // check of the finished file, much less.
        EXPECT_EQ(progress.total(), 2 * store_.DataRowCount() + store_.DataRowCount() / 8);
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

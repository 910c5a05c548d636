#include "reports/WorkbookCheck.h"

#include "data/DataTestSupport.h"
#include "data/JobProgress.h"
#include "data/MeasurementStore.h"
#include "data/Timestamp.h"
#include "reports/SpreadsheetReport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

// A finished report read back as the report reads it before it is put in
// place, and the same report damaged in the ways a short write or a broken
// disk leaves it.
class WorkbookCheckTest : public ::testing::Test
{
protected:
    static constexpr int Rows = 3000;
    // The data sheet: six lines of heading, the rows, an empty line and the signature.
    static constexpr quint32 LastRow = 6 + Rows + 2;

    void SetUp() override
    {
        std::vector<TLogRecord> records;
        for (int k = 0; k < Rows / 3; ++k)
            records.push_back(MakeLogRecord(3, 0x27, TimestampSeconds(2024, 1, 1, 0, 0, 0) + k * 30, 235 + k % 7,
                                            456, 1013));
        store_.showRecords(ListOf(records));
        QString error;
        ASSERT_TRUE(BuildSpreadsheetReport(store_, {}, report(), &error)) << error.toStdString();
    }

    QString report() const { return dir_.filePath("report.xlsx"); }

    static std::vector<TExpectedSheet> dataSheet(quint32 lastRow = LastRow)
    {
        return {{QStringLiteral("xl/worksheets/sheet2.xml"), QStringLiteral("Данные"), lastRow}};
    }

    // The report repacked with its data sheet's XML cut to a fraction: a sound package around a broken sheet.
    QString cutSheet(double fraction) const
    {
        const QString cut = dir_.filePath(QStringLiteral("cut-%1.xlsx").arg(fraction));
        const int status = QProcess::execute(QStringLiteral("/usr/bin/python3"),
                                             {QStringLiteral(CUT_SHEET_SCRIPT), report(), cut,
                                              QStringLiteral("xl/worksheets/sheet2.xml"), QString::number(fraction)});
        EXPECT_EQ(status, 0);
        return cut;
    }

    // A copy of the report named `name`, its bytes changed by `damage`.
    QString damaged(const QString& name, const std::function<void(QByteArray&)>& damage) const
    {
        QFile original(report());
        EXPECT_TRUE(original.open(QIODevice::ReadOnly));
        QByteArray bytes = original.readAll();
        damage(bytes);
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    TMeasurementStore store_;
    QTemporaryDir dir_;
};

TEST_F(WorkbookCheckTest, AWholeBookPasses)
{
    QString error;
    EXPECT_TRUE(CheckWorkbook(report(), dataSheet(), &error)) << error.toStdString();
    // Repacked whole by another program, it still passes.
    EXPECT_TRUE(CheckWorkbook(cutSheet(1.0), dataSheet(), &error)) << error.toStdString();
}

TEST_F(WorkbookCheckTest, ABookThatLacksRowsOrBytesIsRefused)
{
    struct Case {
        const char* name;
        QString path;
        std::vector<TExpectedSheet> sheets;
        QString error;
    };
    const QString cut = QStringLiteral("лист «Данные» записан не полностью");
    const QString broken = QStringLiteral("файл не является целой книгой");
    const Case cases[] = {
        {"the sheet's XML cut in the rows", cutSheet(0.6), dataSheet(), cut},
        {"the sheet's XML cut in its last lines", cutSheet(0.999), dataSheet(), cut},
        {"whole XML but a row short", report(), dataSheet(LastRow + 1), cut},
        {"the file's end cut off", damaged("short.xlsx", [](QByteArray& bytes) { bytes.chop(100); }), dataSheet(), broken},
        {"a byte of the packed sheet changed", damaged("changed.xlsx", [](QByteArray& bytes) { bytes[bytes.size() / 3] ^= 0x5a; }),
         dataSheet(), cut},
        {"a sheet the book does not have",
         report(),
         {{QStringLiteral("xl/worksheets/sheet9.xml"), QStringLiteral("Данные 8"), 1}},
         QStringLiteral("в книге нет листа «Данные 8»")},
        {"not a book at all", damaged("text.xlsx", [](QByteArray& bytes) { bytes = "a text, not a book"; }), dataSheet(), broken},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        EXPECT_FALSE(CheckWorkbook(c.path, c.sheets, &error));
        EXPECT_TRUE(error.startsWith(c.error)) << error.toStdString();
    }
}

TEST_F(WorkbookCheckTest, TheCheckFillsItsShareOfTheProgressAndStopsAtACancel)
{
    TJobProgress progress;
    progress.start(1100);
    QString error;
    EXPECT_TRUE(CheckWorkbook(report(), dataSheet(), &error, {&progress, 1000, 100})) << error.toStdString();
    EXPECT_GE(progress.done(), 1000);
    EXPECT_LE(progress.done(), 1100);

    progress.cancel();
    EXPECT_FALSE(CheckWorkbook(report(), dataSheet(), &error, {&progress, 1000, 100}));
    EXPECT_EQ(error, TJobProgress::cancelledReason());
}

} // namespace

#include "FileFaults.h"
#include "app/LogRows.h"
#include "app/ProgramRun.h"

#include "data/LogGenerator.h"
#include "reports/SpreadsheetReport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

// Exports that meet a disk too small for them, or a reader that goes away:
// each ends with one Russian line and code 1, and hands over nothing partial.
class ExportFaultsTest : public ::testing::Test
{
protected:
    // About 100,000 rows: enough for the report's temporary files to outweigh its fixed part.
    QString writeLargeLog()
    {
        const QString path = dir_.filePath("large.log");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(LogGenerator(3).generate(25000, TLogShape::Typical, QDateTime(QDate(2024, 6, 1), QTime(6, 0))));
        return path;
    }

    // The rows of the report's data sheet as another reader unpacks them.
    static qint64 sheetRows(const QString& report)
    {
        QProcess reader;
        reader.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import sys, zipfile; "
                                     "print(zipfile.ZipFile(sys.argv[1]).read('xl/worksheets/sheet2.xml').count(b'<row '))"),
                      report});
        EXPECT_TRUE(reader.waitForFinished(60000));
        EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
        return reader.readAllStandardOutput().trimmed().toLongLong();
    }

    static void expectOneRussianLine(const ProgramRun& run, const QString& begins)
    {
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.errors.count('\n'), 1) << run.errors.toStdString();
        EXPECT_FALSE(run.errors.contains(QStringLiteral("ERROR"))) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains(begins)) << run.errors.toStdString();
    }

    QTemporaryDir dir_;
};

// Below the most the report can take, it is refused before a byte is
// written; with that much room it is written whole, every row in its sheet.
TEST_F(ExportFaultsTest, AReportIsRefusedOrWrittenWholeByTheRoomItNeeds)
{
    const QString log = writeLargeLog();
    const qint64 rows = rowsOf(log);
    ASSERT_GT(rows, 90000);
    // The header lines, the table's header row and the signature line besides the rows.
    constexpr qint64 SheetLinesBesideRows = 5;
    struct Case {
        const char* name;
        qint64 bytes;
        bool written;
    };
    const Case cases[] = {
        {"less than the temporary files and the zip take", (1 << 20) + rows * 400, false},
        {"the most the report takes", SpreadsheetReportSpace(rows), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FullTmpfs disk(int((c.bytes + 1023) / 1024));
        if (!disk.mounted())
            GTEST_SKIP() << disk.whyNot().toStdString();
        const QString report = disk.filePath("report.xlsx");
        const ProgramRun run = korviMonitor({"--export", log, "--xlsx", report});
        if (c.written) {
            EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
            EXPECT_EQ(sheetRows(report), rows + SheetLinesBesideRows);
        } else {
            expectOneRussianLine(run, QStringLiteral("нет места на диске"));
            EXPECT_FALSE(QFile::exists(report));
        }
        EXPECT_EQ(disk.strayFiles({"report.xlsx"}), QStringList());
    }
}

// Another program fills the disk while the report is written: the report
// says so, and neither it nor any temporary file is left.
TEST_F(ExportFaultsTest, ADiskThatFillsUpDuringTheReportIsSaidSo)
{
    const QString log = writeLargeLog();
    FullTmpfs disk(int(SpreadsheetReportSpace(rowsOf(log)) / 1024) + 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.whyNot().toStdString();
    const QString report = disk.filePath("report.xlsx");
    ProgramRun run{};
    std::thread exporting([&] { run = korviMonitor({"--export", log, "--xlsx", report}); });
    // The report's own file appears as soon as it starts; the disk fills a moment later.
    QElapsedTimer waited;
    waited.start();
    while (disk.strayFiles({}).isEmpty() && waited.elapsed() < 30000)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const bool started = !disk.strayFiles({}).isEmpty();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    disk.fill();
    exporting.join();
    ASSERT_TRUE(started);
    expectOneRussianLine(run, QStringLiteral("нет места на диске"));
    EXPECT_FALSE(QFile::exists(report));
    EXPECT_EQ(disk.strayFiles({}), QStringList());
}

// A drive that fails a quarter of the way into the log: what was read is not
// the log, and nothing is written from it.
TEST_F(ExportFaultsTest, ALogThatFailsPartWayIsNotExported)
{
    const QString log = writeLargeLog();
    const QString csv = dir_.filePath("large.csv");
    QProcessEnvironment failing;
    failing.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FAILING_READS_PATH));
    failing.insert(QStringLiteral("KORVI_FAILING_FILE"), log);
    failing.insert(QStringLiteral("KORVI_FAILING_AFTER"), QString::number(QFileInfo(log).size() / 4));
    const ProgramRun run = korviMonitor({"--export", log, "--csv", csv, "--xlsx", dir_.filePath("large.xlsx")}, failing);
    expectOneRussianLine(run, QStringLiteral("Не удалось прочитать %1: ошибка ввода-вывода").arg(log));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"large.log"});
}

// "--csv -" read by a program that takes the first bytes and leaves.
TEST_F(ExportFaultsTest, AReaderThatLeavesEndsTheExportWithItsReason)
{
    const QString log = writeLargeLog();
    QProcess exporter;
    QProcess head;
    exporter.setStandardOutputProcess(&head);
    head.start(QStringLiteral("head"), {QStringLiteral("-c"), QStringLiteral("100")});
    exporter.start(QStringLiteral(KORVI_MONITOR_PATH), {QStringLiteral("--export"), log, QStringLiteral("--csv"),
                                                         QStringLiteral("-")});
    ASSERT_TRUE(exporter.waitForFinished(60000));
    ASSERT_TRUE(head.waitForFinished(60000));
    EXPECT_EQ(exporter.exitStatus(), QProcess::NormalExit) << "ended by a signal";
    expectOneRussianLine({exporter.exitCode(), QString(), QString::fromUtf8(exporter.readAllStandardError())},
                         QStringLiteral("канал закрыт"));
    EXPECT_EQ(head.readAllStandardOutput().size(), 100);
}

} // namespace

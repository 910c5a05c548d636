#include "app/ProgramRun.h"
#include "data/FolderVolumeSource.h"
#include "data/Loader.h"
#include "data/LogGenerator.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ExportCommandTest : public ::testing::Test
{
protected:
    QString writeLog(const QString& name, QByteArray bytes)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QByteArray variedLog()
    {
        return LogGenerator(11).generate(500, TLogShape::Typical, QDateTime(QDate(2024, 6, 1), QTime(6, 0)));
    }

    static qint64 rowsOf(const QString& path)
    {
        TMeasurementStore store;
        const FolderVolumeSource noVolumes;
        TLoadResult result = TLoader(noVolumes).loadFile(path, TLoadRequest());
        TSourceList(store).adopt(result);
        return store.DataRowCount();
    }

    static qint64 csvLines(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll().count('\n');
    }

    QTemporaryDir dir_;
};

TEST_F(ExportCommandTest, WritesTheCsvOfASavedLogWithoutADisplay)
{
    const QString log = writeLog("varied.log", variedLog());
    const QString csv = dir_.filePath("varied.csv");
    const ProgramRun run = korviMonitor({"--export", log, "--csv", csv});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();
    EXPECT_EQ(csvLines(csv), rowsOf(log) + 1);
}

TEST_F(ExportCommandTest, WritesTheSpreadsheetReportWithTheCsv)
{
    const QString log = writeLog("varied.log", variedLog());
    const QString xlsx = dir_.filePath("varied.xlsx");
    const QString csv = dir_.filePath("varied.csv");
    const ProgramRun run = korviMonitor({"--export", log, "--xlsx", xlsx, "--csv", csv});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(csvLines(csv), rowsOf(log) + 1);
    QFile report(xlsx);
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    EXPECT_TRUE(report.read(2) == "PK"); // a zip container, as every .xlsx is
}

TEST_F(ExportCommandTest, APartialLastRecordIsLeftOutAndReported)
{
    const QString log = writeLog("cut.log", variedLog() + QByteArray(7, '\x11'));
    const QString csv = dir_.filePath("cut.csv");
    const ProgramRun run = korviMonitor({"--export", log, "--csv", csv});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors.count('\n'), 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("7 bytes"))) << run.errors.toStdString();
    EXPECT_EQ(csvLines(csv), rowsOf(log) + 1);
}

TEST_F(ExportCommandTest, FailuresEndWithOneLineAndCodeOne)
{
    const QString log = writeLog("good.log", variedLog());
    const QString empty = writeLog("empty.log", QByteArray());
    struct Case {
        const char* name;
        QStringList arguments;
        const char* mentions;
    };
    const Case cases[] = {
        {"missing log", {"--export", dir_.filePath("missing.log"), "--csv", dir_.filePath("a.csv")}, "missing.log"},
        {"log is a folder", {"--export", dir_.path(), "--csv", dir_.filePath("b.csv")}, "Не удалось открыть"},
        {"no record", {"--export", empty, "--csv", dir_.filePath("e.csv")}, "В файле empty.log нет записей"},
        {"unwritable output", {"--export", log, "--csv", dir_.filePath("no/such/folder/c.csv")}, "c.csv"},
        {"unwritable report", {"--export", log, "--xlsx", dir_.filePath("no/such/folder/d.xlsx")}, "d.xlsx"},
        {"no output named", {"--export", log}, "--csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun run = korviMonitor(c.arguments);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.errors.contains(QString::fromUtf8(c.mentions))) << run.errors.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir_.filePath("a.csv")));
}

} // namespace

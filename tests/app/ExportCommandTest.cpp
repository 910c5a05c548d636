#include "app/ExportCommand.h"
#include "app/LogRows.h"
#include "app/ProgramRun.h"
#include "PdfChartAxis.h"
#include "data/LogGenerator.h"
#include "data/LogRecord.h"
#include "data/Timestamp.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

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

    static qint64 csvLines(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll().count('\n');
    }

    // A settings folder whose file holds the limits, for the program's XDG_CONFIG_HOME.
    QProcessEnvironment settingsWithLimits(const QByteArray& limits)
    {
        const QString folder = dir_.filePath("config");
        QDir().mkpath(folder + "/korvi-monitor");
        QFile file(folder + "/korvi-monitor/korvi-monitor.ini");
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Limits]\n" + limits);
        QProcessEnvironment environment;
        environment.insert("XDG_CONFIG_HOME", folder);
        return environment;
    }

    // The rows of the image at least half red across: the red limit lines'.
    static QList<int> redLines(const QImage& image)
    {
        QList<int> rows;
        for (int y = 0; y < image.height(); ++y) {
            int red = 0;
            for (int x = 0; x < image.width(); ++x)
                red += image.pixelColor(x, y) == QColor(255, 0, 0);
            if (red > image.width() / 2)
                rows << y;
        }
        return rows;
    }

    static QString pdfText(const QString& path)
    {
        QProcess text;
        text.start("pdftotext", {"-layout", path, "-"});
        EXPECT_TRUE(text.waitForFinished(30000));
        return QString::fromUtf8(text.readAllStandardOutput());
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
    EXPECT_TRUE(run.errors.contains(QStringLiteral("7 байт"))) << run.errors.toStdString();
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
        {"unwritable PDF", {"--export", log, "--pdf", dir_.filePath("no/such/folder/f.pdf")}, "f.pdf"},
        {"unwritable bitmap", {"--export", log, "--bmp", dir_.filePath("no/such/folder/g.bmp")}, "g.bmp"},
        {"a folder for the bitmap", {"--export", log, "--bmp", dir_.path()}, "не удалось записать"},
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

// The PDF report and the chart's bitmap are drawn on a machine without a
// display (the run's platform is xcb with no DISPLAY), with the user's limits
// of the settings file: in the report's lines and as the chart's lines.
TEST_F(ExportCommandTest, WritesThePdfReportAndTheChartWithTheUsersLimitsWithoutADisplay)
{
    const QString log = writeLog("varied.log", variedLog());
    struct Drawn {
        QString pdf;
        QString bmp;
    };
    const auto draw = [&](const QString& name, const QProcessEnvironment& settings) {
        const Drawn drawn{dir_.filePath(name + ".pdf"), dir_.filePath(name + ".bmp")};
        const ProgramRun run = korviMonitor({"--export", log, "--pdf", drawn.pdf, "--bmp", drawn.bmp}, settings);
        EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();
        return drawn;
    };
    const Drawn constants = draw("constants", settingsWithLimits(""));
    const Drawn users = draw("users", settingsWithLimits("TemperatureMin=-150\nTemperatureMax=450\n"
                                                          "HumidityMin=100\nHumidityMax=900\n"));

    QProcess info;
    info.start("pdfinfo", {users.pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_EQ(info.exitCode(), 0);
    EXPECT_TRUE(info.readAllStandardOutput().contains("Pages:"));
    const QString text = pdfText(users.pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Время выше 45,0 *С"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Время ниже -15,0 *С"))) << text.toStdString();
    EXPECT_TRUE(pdfText(constants.pdf).contains(QStringLiteral("Время выше 36,9 *С")));

    const QImage chart(users.bmp, "BMP");
    ASSERT_FALSE(chart.isNull());
    EXPECT_EQ(chart.size(), QSize(1280, 720));
    const QList<int> atUsers = redLines(chart);
    const QList<int> atConstants = redLines(QImage(constants.bmp, "BMP"));
    EXPECT_GE(atUsers.size(), 2);
    EXPECT_GE(atConstants.size(), 2);
    EXPECT_NE(atUsers, atConstants);
}

// The command line has no window to zoom: its PDF report and bitmap chart
// every row of the log. The log's temperature steps from 10 °C in its first
// half to 30 °C in its second, so a chart of all of it has its curve at two
// heights, where one of the load's first quarter would be flat; the report's
// time axis begins at the first row, its caption names the first and last.
TEST_F(ExportCommandTest, ThePdfAndTheBitmapChartEveryRowOfTheLog)
{
    const qint64 start = TimestampSeconds(2024, 6, 1, 6, 0, 0);
    QByteArray bytes;
    for (int record = 0; record < 1200; ++record) {
        const TLogRecord row = MakeLogRecord(1, 0x21, start + 5 * record, record < 600 ? 100 : 300, 0, 0);
        bytes += QByteArray(reinterpret_cast<const char*>(&row), sizeof row);
    }
    const QString log = writeLog("step.log", bytes);
    const QString pdf = dir_.filePath("step.pdf");
    const QString bmp = dir_.filePath("step.bmp");
    const ProgramRun run = korviMonitor({"--export", log, "--pdf", pdf, "--bmp", bmp});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();

    EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("График: 06:00:00 01.06.2024 – 07:39:55 01.06.2024")));
    const QList<QDateTime> axis = PdfChartAxisMoments(pdf);
    ASSERT_GE(axis.size(), 3);
    EXPECT_EQ(axis.first(), QDateTime(QDate(2024, 6, 1), QTime(6, 0)));
    EXPECT_GE(axis.last(), QDateTime(QDate(2024, 6, 1), QTime(7, 0)));

    const QImage chart(bmp, "BMP");
    ASSERT_FALSE(chart.isNull());
    // Below the legend, whose red sample would stand at one of the two columns only.
    const auto redRowsAt = [&chart](int x) {
        QList<int> rows;
        for (int y = 40; y < chart.height(); ++y) {
            if (chart.pixelColor(x, y) == QColor(255, 0, 0))
                rows << y;
        }
        return rows;
    };
    EXPECT_NE(redRowsAt(chart.width() / 4), redRowsAt(chart.width() * 3 / 4));
}

// The log may be the only copy once the logger is erased: an output that
// names it, directly, through a link or a hard link, or through a bind mount
// of its folder, is refused before anything is written.
TEST_F(ExportCommandTest, AnOutputThatIsTheLogItselfIsRefused)
{
    const QByteArray bytes = variedLog();
    const QString log = writeLog("only.log", bytes);
    ASSERT_TRUE(QFile::link(log, dir_.filePath("alias.log")));
    ASSERT_EQ(::link(QFile::encodeName(log).constData(), QFile::encodeName(dir_.filePath("hard.log")).constData()), 0);
    QList<QStringList> outputs = {
        {"--csv", log},
        {"--xlsx", log},
        {"--pdf", log},
        {"--bmp", dir_.filePath("alias.log")},
        {"--csv", dir_.filePath("alias.log")},
        {"--csv", dir_.filePath("hard.log")},
        {"--csv", dir_.filePath("sub/../only.log")},
    };
    QDir(dir_.path()).mkdir("sub");
    QDir(dir_.path()).mkdir("bound");
    // Mounting needs root; elsewhere the other names are tried without it.
    const bool bound = QProcess::execute("mount", {"--bind", dir_.path(), dir_.filePath("bound")}) == 0;
    if (bound)
        outputs.append({"--csv", dir_.filePath("bound/only.log")});
    const auto unbind = qScopeGuard([&] {
        if (bound)
            QProcess::execute("umount", {dir_.filePath("bound")});
    });
    for (const QStringList& output : outputs) {
        SCOPED_TRACE(output.join(' ').toStdString());
        const ProgramRun run = korviMonitor(QStringList{"--export", log} + output);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.errors.contains(QStringLiteral("это сам журнал"))) << run.errors.toStdString();
        QFile kept(log);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), bytes);
    }
}

// "-" is standard output, and a pipe stays a pipe and gets the rows.
TEST_F(ExportCommandTest, StandardOutputAndPipesAreWrittenDirectly)
{
    const QString log = writeLog("varied.log", variedLog());
    const ProgramRun toStdout = korviMonitor({"--export", log, "--csv", "-"});
    EXPECT_EQ(toStdout.exitCode, 0) << toStdout.errors.toStdString();
    EXPECT_EQ(toStdout.output.count('\n'), rowsOf(log) + 1);

    const QString fifo = dir_.filePath("rows.fifo");
    ASSERT_EQ(QProcess::execute("mkfifo", {fifo}), 0);
    QProcess reader;
    reader.start("cat", {fifo});
    ASSERT_TRUE(reader.waitForStarted());
    const ProgramRun toPipe = korviMonitor({"--export", log, "--csv", fifo});
    ASSERT_TRUE(reader.waitForFinished(30000));
    EXPECT_EQ(toPipe.exitCode, 0) << toPipe.errors.toStdString();
    EXPECT_EQ(reader.readAllStandardOutput().count('\n'), rowsOf(log) + 1);
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile()) << "the pipe was replaced";
}

// A file longer than one load cannot be held whole: the export says how much
// it would leave out, and writes it only when told to.
TEST_F(ExportCommandTest, ALogLongerThanOneLoadIsNotCutInSilence)
{
    constexpr qint64 Limit = 1000;
    const QString log = writeLog("joined.log", logLongerThan(Limit, 700));
    const QString csv = dir_.filePath("joined.csv");

    const TVerbRun refused = runWithRecordLimit({"--export", log, "--csv", csv}, Limit, RunExport);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.errors.contains(QStringLiteral("Пропущено записей: 700"))) << refused.errors.toStdString();
    EXPECT_FALSE(QFile::exists(csv));

    const TVerbRun allowed =
        runWithRecordLimit({"--export", log, "--csv", csv, "--allow-truncated"}, Limit, RunExport);
    EXPECT_EQ(allowed.exitCode, 0) << allowed.errors.toStdString();
    EXPECT_TRUE(allowed.errors.contains(QStringLiteral("Пропущено записей: 700"))) << allowed.errors.toStdString();
    EXPECT_EQ(csvLines(csv), rowsOf(writeLog("kept.log", logLongerThan(Limit, 0))) + 1);
}

TEST_F(ExportCommandTest, AFileWithoutRecordsIsSaidSo)
{
    for (const QByteArray& bytes : {QByteArray(), QByteArray(4096, '\0'), QByteArray(4096, '\xff')}) {
        SCOPED_TRACE(bytes.size());
        const QString log = writeLog("empty.log", bytes);
        const ProgramRun run = korviMonitor({"--export", log, "--csv", dir_.filePath("empty.csv")});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.errors.contains(QStringLiteral("нет записей журнала прибора"))) << run.errors.toStdString();
        EXPECT_FALSE(QFile::exists(dir_.filePath("empty.csv")));
    }
}

TEST_F(ExportCommandTest, AMissingLogIsNamedAsSuch)
{
    const ProgramRun run = korviMonitor({"--export", dir_.filePath("missing.log"), "--csv", dir_.filePath("a.csv")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("файл не найден"))) << run.errors.toStdString();
}

} // namespace

#include "app/CommandLine.h"
#include "reports/OutputFormats.h"

#include <gtest/gtest.h>

TEST(CommandLine, UnderstandsItsFlags)
{
    struct Case {
        QStringList arguments;
        bool simulate;
        QString simulatedLog;
        bool help;
        bool error;
        QString exportLog = {};
        QString csvFile = {};
        QString xlsxFile = {};
        QString openLog = {};
        QString pdfFile = {};
        QString bmpFile = {};
    };
    const Case cases[] = {
        {{"korvi-monitor"}, false, {}, false, false},
        {{"korvi-monitor", "--simulate"}, true, {}, false, false},
        {{"korvi-monitor", "--simulate=/tmp/a b/data.log"}, true, "/tmp/a b/data.log", false, false},
        {{"korvi-monitor", "--help"}, false, {}, true, false},
        {{"korvi-monitor", "--simulate="}, false, {}, false, true},
        {{"korvi-monitor", "--simulate-readings="}, false, {}, false, true},
        {{"korvi-monitor", "--simulated"}, false, {}, false, true},
        {{"korvi-monitor", "log.bin"}, false, {}, false, false, {}, {}, {}, "log.bin"},
        {{"korvi-monitor", "--simulate", "/tmp/a b/склад.log"}, true, {}, false, false, {}, {}, {}, "/tmp/a b/склад.log"},
        {{"korvi-monitor", "a.log", "b.log"}, false, {}, false, true, {}, {}, {}, "a.log"},
        {{"korvi-monitor", "-x"}, false, {}, false, true},
        {{"korvi-monitor", "--export", "a.log", "--csv", "a.csv", "b.log"}, false, {}, false, true, "a.log", "a.csv", {}, "b.log"},
        {{"korvi-monitor", "--export", "a.log", "--csv", "a.csv"}, false, {}, false, false, "a.log", "a.csv"},
        {{"korvi-monitor", "--csv", "a.csv", "--export", "a.log"}, false, {}, false, false, "a.log", "a.csv"},
        {{"korvi-monitor", "--export", "a.log"}, false, {}, false, true, "a.log"},
        {{"korvi-monitor", "--csv", "a.csv"}, false, {}, false, true, {}, "a.csv"},
        {{"korvi-monitor", "--export", "--csv", "a.csv"}, false, {}, false, true},
        {{"korvi-monitor", "--export", "a.log", "--csv"}, false, {}, false, true, "a.log"},
        {{"korvi-monitor", "--export", "a.log", "--xlsx", "a.xlsx"}, false, {}, false, false, "a.log", {}, "a.xlsx"},
        {{"korvi-monitor", "--export", "a.log", "--xlsx", "r.xlsx", "--csv", "a.csv"},
         false, {}, false, false, "a.log", "a.csv", "r.xlsx"},
        {{"korvi-monitor", "--export", "a.log", "--pdf", "r.pdf"}, false, {}, false, false, "a.log", {}, {}, {}, "r.pdf"},
        {{"korvi-monitor", "--export", "a.log", "--bmp", "-", "--csv", "a.csv"},
         false, {}, false, false, "a.log", "a.csv", {}, {}, {}, "-"},
        {{"korvi-monitor", "--export", "a.log", "--bmp"}, false, {}, false, true, "a.log"},
        {{"korvi-monitor", "--pdf", "r.pdf"}, false, {}, false, true, {}, {}, {}, {}, "r.pdf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line = CommandLine::parse(c.arguments);
        EXPECT_EQ(line.simulate, c.simulate);
        EXPECT_EQ(line.simulatedLog, c.simulatedLog);
        EXPECT_TRUE(line.simulatedReadings.isEmpty());
        EXPECT_EQ(line.help, c.help);
        EXPECT_EQ(!line.error.isEmpty(), c.error);
        EXPECT_EQ(line.exportLog, c.exportLog);
        EXPECT_EQ(line.output(TOutputKind::Csv), c.csvFile);
        EXPECT_EQ(line.output(TOutputKind::Spreadsheet), c.xlsxFile);
        EXPECT_EQ(line.output(TOutputKind::Pdf), c.pdfFile);
        EXPECT_EQ(line.output(TOutputKind::Bitmap), c.bmpFile);
        EXPECT_EQ(line.paints(), !c.pdfFile.isEmpty() || !c.bmpFile.isEmpty());
        EXPECT_EQ(line.openLog, c.openLog);
    }
}

TEST(CommandLine, UnderstandsTheArchiveVerbs)
{
    struct Case {
        QStringList arguments;
        bool error;
        QString archiveUrl = {};
        QString archiveImport = {};
        bool archiveList = false;
        qint64 archiveExport = 0;
        QString archiveBackup = {};
        bool archivePassword = false;
    };
    const Case cases[] = {
        {{"korvi-monitor", "--archive-list"}, false, {}, {}, true},
        {{"korvi-monitor", "--archive=postgresql://k@db/a", "--archive-password"}, false, "postgresql://k@db/a", {},
         false, 0, {}, true},
        {{"korvi-monitor", "--archive-password", "--archive-list"}, true, {}, {}, true, 0, {}, true},
        {{"korvi-monitor", "--archive=postgresql://k@db/a", "--archive-list"}, false, "postgresql://k@db/a", {}, true},
        {{"korvi-monitor", "--archive-import", "/old logs"}, false, {}, "/old logs"},
        {{"korvi-monitor", "--archive-export", "12", "--xlsx", "r.xlsx"}, false, {}, {}, false, 12},
        {{"korvi-monitor", "--archive=/srv/a.sqlite"}, false, "/srv/a.sqlite"},
        {{"korvi-monitor", "--archive-export", "12"}, true, {}, {}, false, 12},
        {{"korvi-monitor", "--archive-export", "twelve", "--csv", "a.csv"}, true},
        {{"korvi-monitor", "--archive-export", "-3", "--csv", "a.csv"}, true},
        {{"korvi-monitor", "--archive-import"}, true},
        {{"korvi-monitor", "--archive-list", "--csv", "a.csv"}, true, {}, {}, true},
        {{"korvi-monitor", "--archive-list", "--archive-import", "d"}, true, {}, "d", true},
        {{"korvi-monitor", "--archive="}, true},
        {{"korvi-monitor", "--archive-backup", "/backups/a.sqlite"}, false, {}, {}, false, 0, "/backups/a.sqlite"},
        {{"korvi-monitor", "--archive-backup"}, true},
        {{"korvi-monitor", "--archive-backup", "b.sqlite", "--archive-list"}, true, {}, {}, true, 0, "b.sqlite"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line = CommandLine::parse(c.arguments);
        EXPECT_EQ(!line.error.isEmpty(), c.error) << line.error.toStdString();
        EXPECT_EQ(line.archiveUrl, c.archiveUrl);
        EXPECT_EQ(line.archiveImport, c.archiveImport);
        EXPECT_EQ(line.archiveList, c.archiveList);
        EXPECT_EQ(line.archiveBackup, c.archiveBackup);
        EXPECT_EQ(line.archivePassword, c.archivePassword);
        if (!c.error) {
            EXPECT_EQ(line.archiveExport, c.archiveExport);
            EXPECT_EQ(line.archiveCommand(), c.archiveList || c.archiveExport > 0 || !c.archiveImport.isEmpty()
                                                 || !c.archiveBackup.isEmpty() || c.archivePassword);
        }
    }
}

TEST(CommandLine, TheTrailIsPrintedWithItsFiltersAndCheckedAlone)
{
    struct Case {
        QStringList arguments;
        bool error;
        QString device = {};
        std::optional<qint64> since = {};
    };
    const qint64 midnight = QDate(2026, 12, 1).startOfDay().toSecsSinceEpoch();
    const Case cases[] = {
        {{"korvi-monitor", "--archive-events"}, false},
        {{"korvi-monitor", "--archive-events", "--device", "2400123", "--since", "2026-12-01"}, false, "2400123",
         midnight},
        {{"korvi-monitor", "--archive-events", "--since", "2026-12-01T00:00:30"}, false, {}, midnight + 30},
        {{"korvi-monitor", "--archive-events", "--since", "1 December"}, true},
        {{"korvi-monitor", "--archive-events", "--device"}, true},
        {{"korvi-monitor", "--archive-list", "--device", "2400123"}, true, "2400123"},
        {{"korvi-monitor", "--archive-verify"}, false},
        {{"korvi-monitor", "--archive-verify", "--archive-events"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line = CommandLine::parse(c.arguments);
        EXPECT_EQ(!line.error.isEmpty(), c.error) << line.error.toStdString();
        EXPECT_EQ(line.eventsDevice, c.device);
        if (!c.error) {
            EXPECT_EQ(line.eventsSince, c.since);
            EXPECT_TRUE(line.archiveCommand());
        }
    }
}

// Every output format with an option is one on the command line and a line
// of the usage; those without one are not understood as options.
TEST(CommandLine, TakesItsOutputOptionsFromTheFormats)
{
    const QString usage = CommandLine::usage();
    QStringList flags;
    for (const TOutputFormat& format : OutputFormats()) {
        SCOPED_TRACE(format.caption.toStdString());
        if (format.flag.isEmpty())
            continue;
        flags << format.flag;
        EXPECT_TRUE(usage.contains(QStringLiteral("  %1 FILE").arg(format.flag))) << usage.toStdString();
        EXPECT_TRUE(usage.contains(format.flagHelp)) << usage.toStdString();
        const CommandLine line = CommandLine::parse({"korvi-monitor", "--export", "a.log", format.flag, "out"});
        EXPECT_TRUE(line.error.isEmpty()) << line.error.toStdString();
        EXPECT_EQ(line.output(format.kind), "out");
    }
    EXPECT_EQ(flags, (QStringList{"--csv", "--xlsx", "--pdf", "--bmp"}));
    EXPECT_FALSE(CommandLine::parse({"korvi-monitor", "--export", "a.log", "--log", "out"}).error.isEmpty());
}

TEST(CommandLine, ScriptedReadingsGoWithTheSimulatedLogger)
{
    const CommandLine line =
        CommandLine::parse({"korvi-monitor", "--simulate=/tmp/a.log", "--simulate-readings=/tmp/fridge warms.txt"});
    EXPECT_TRUE(line.error.isEmpty());
    EXPECT_TRUE(line.simulate);
    EXPECT_EQ(line.simulatedLog, QStringLiteral("/tmp/a.log"));
    EXPECT_EQ(line.simulatedReadings, QStringLiteral("/tmp/fridge warms.txt"));
    EXPECT_TRUE(CommandLine::parse({"korvi-monitor", "--simulate-readings=r.txt"}).simulate);
}

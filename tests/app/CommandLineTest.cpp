#include "app/CommandLine.h"

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
    };
    const Case cases[] = {
        {{"korvi-monitor"}, false, {}, false, false},
        {{"korvi-monitor", "--simulate"}, true, {}, false, false},
        {{"korvi-monitor", "--simulate=/tmp/a b/data.log"}, true, "/tmp/a b/data.log", false, false},
        {{"korvi-monitor", "--help"}, false, {}, true, false},
        {{"korvi-monitor", "--simulate="}, false, {}, false, true},
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line = CommandLine::parse(c.arguments);
        EXPECT_EQ(line.simulate, c.simulate);
        EXPECT_EQ(line.simulatedLog, c.simulatedLog);
        EXPECT_EQ(line.help, c.help);
        EXPECT_EQ(!line.error.isEmpty(), c.error);
        EXPECT_EQ(line.exportLog, c.exportLog);
        EXPECT_EQ(line.csvFile, c.csvFile);
        EXPECT_EQ(line.xlsxFile, c.xlsxFile);
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
    };
    const Case cases[] = {
        {{"korvi-monitor", "--archive-list"}, false, {}, {}, true},
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line = CommandLine::parse(c.arguments);
        EXPECT_EQ(!line.error.isEmpty(), c.error) << line.error.toStdString();
        EXPECT_EQ(line.archiveUrl, c.archiveUrl);
        EXPECT_EQ(line.archiveImport, c.archiveImport);
        EXPECT_EQ(line.archiveList, c.archiveList);
        if (!c.error) {
            EXPECT_EQ(line.archiveExport, c.archiveExport);
            EXPECT_EQ(line.archiveCommand(), c.archiveList || c.archiveExport > 0 || !c.archiveImport.isEmpty());
        }
    }
}

#include "reports/ChartOutput.h"
#include "reports/DatedFileName.h"

#include <gtest/gtest.h>

namespace {

TEST(ChartPrintRect, LongSideGetsFifteenPercentAndTheOtherCentresTheChart)
{
    struct Case {
        const char* name;
        QSize chart;
        QSize page;
        double dpiRatio;
        QRect expected;
    };
    const Case cases[] = {
        // wide: m = round((7000 - 0.7 * 5000 * 0.5) * 100 / 7000) / 2 = round(75) / 2 = 37
        {"wide", {800, 400}, {5000, 7000}, 1.0, QRect(QPoint(750, 2590), QPoint(4249, 4409))},
        // tall: m = round((5000 - 0.7 * 7000 * 0.5) * 100 / 5000) / 2 = 51 / 2 = 25
        {"tall", {400, 800}, {5000, 7000}, 1.0, QRect(QPoint(1250, 1050), QPoint(3749, 5949))},
        // square counts as tall: m = round((5000 - 0.7 * 7000) * 100 / 5000) / 2 = 2 / 2 = 1
        {"square", {500, 500}, {5000, 7000}, 1.0, QRect(QPoint(50, 1050), QPoint(4949, 5949))},
        // a printer with twice the dots across: m = round((7000 - 0.7 * 5000 * 0.5 * 2) * 100 / 7000) / 2 = 50 / 2 = 25
        {"wide, 2:1 dots", {800, 400}, {5000, 7000}, 2.0, QRect(QPoint(750, 1750), QPoint(4249, 5249))},
        // a narrow chart gets wide side margins: m = round((5000 - 0.7 * 7000 * 0.1 * 0.5) * 100 / 5000) / 2 = 47
        {"narrow, 1:2 dots", {100, 1000}, {5000, 7000}, 0.5, QRect(QPoint(2350, 1050), QPoint(2649, 5949))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChartPrintRect(c.chart, c.page, c.dpiRatio), c.expected);
    }
}

TEST(DatedFileName, UsesTheShortDateWithoutCharactersFileNamesCannotHold)
{
    const QDate date(2025, 12, 8);
    EXPECT_EQ(DatedFileName(date, QLocale(QLocale::Russian, QLocale::Russia), "xlsx"), QStringLiteral("08.12.2025.xlsx"));
    EXPECT_EQ(DatedFileName(date, QLocale(QLocale::English, QLocale::UnitedStates), "bmp"), QStringLiteral("12-8-25.bmp"));
}

} // namespace

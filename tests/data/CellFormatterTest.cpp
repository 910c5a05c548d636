#include "data/CellFormatter.h"
#include "data/DataTestSupport.h"
#include "data/Timestamp.h"

namespace {

TEST(CellFormatter, TextsFollowTheLocaleWithoutATimeZone)
{
    const qint64 time = TimestampSeconds(2017, 6, 5, 9, 5, 3);
    struct Case {
        const char* name;
        QLocale locale;
        QString date, timeOfDay, tenths;
    };
    const Case cases[] = {
        {"Russian", QLocale(QLocale::Russian, QLocale::Russia), "05.06.2017", "09:05:03", "-23,5"},
        {"German", QLocale(QLocale::German, QLocale::Germany), "05.06.17", "09:05:03", "-23,5"},
        {"US English", QLocale(QLocale::English, QLocale::UnitedStates), "6/5/17", "9:05:03\u202fAM", "-23.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TCellFormatter formatter(c.locale);
        EXPECT_EQ(formatter.dateText(time), c.date);
        EXPECT_EQ(formatter.timeText(time).replace(u' ', u'\u202f'), c.timeOfDay);
        EXPECT_EQ(formatter.tenthsText(-235), c.tenths);
        EXPECT_EQ(formatter.pointLabel(time), formatter.timeText(time) + "\r" + formatter.dateText(time));
    }
}

TEST(CellFormatter, TenthsAreTheShortestDecimal)
{
    const TCellFormatter formatter(QLocale(QLocale::Russian, QLocale::Russia));
    const std::pair<int, QString> cases[] = {{235, "23,5"}, {200, "20"}, {0, "0"},       {-5, "-0,5"},
                                              {-200, "-20"}, {65531, "6553,1"}, {-32768, "-3276,8"}};
    for (const auto& [tenths, text] : cases) {
        SCOPED_TRACE(tenths);
        EXPECT_EQ(formatter.tenthsText(tenths), text);
    }
}

} // namespace

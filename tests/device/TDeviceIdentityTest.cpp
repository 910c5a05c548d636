#include "device/TDeviceIdentity.h"
#include "text/FormatLocale.h"

#include <gtest/gtest.h>

namespace {

TEST(TDeviceIdentity, SeriesFromTheFirstTwoSerialCharacters)
{
    struct Case {
        const char* serial;
        quint16 series;
    };
    const Case cases[] = {
        {"17", 23}, {"18A40C2F", 24}, {"2A", 42}, {"2a", 97}, {"9", 144}, {"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serial);
        EXPECT_EQ(SeriesFromSerialNumber(c.serial), c.series);
    }
    EXPECT_EQ(HexDigitValue('F'), 15);
    EXPECT_EQ(HexDigitValue('a'), 97);
}

TEST(TDeviceIdentity, ExpectedLabelPadsTheNumberToFiveDigits)
{
    EXPECT_EQ(BuildExpectedLabel(35, QStringLiteral("123")), QStringLiteral("3500123"));
    EXPECT_EQ(BuildExpectedLabel(24, QStringLiteral("12345")), QStringLiteral("2412345"));
    EXPECT_EQ(BuildExpectedLabel(9, QString()), QStringLiteral("900000"));
    EXPECT_EQ(BuildExpectedLabel(35, QStringLiteral("1234567")), QStringLiteral("351234567"));
}

// Restores Qt's default locale when the test ends.
class DefaultLocaleGuard {
public:
    ~DefaultLocaleGuard() { QLocale::setDefault(saved_); }

private:
    QLocale saved_;
};

TEST(FormatLocale, FollowsTheDefaultLocaleExceptC)
{
    DefaultLocaleGuard guard;
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(FormatLocale().language(), QLocale::Russian);
    EXPECT_EQ(LongTimeFormat(), QStringLiteral("HH:mm:ss"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FormatLocale().language(), QLocale::English);
    EXPECT_EQ(LongTimeFormat(), QStringLiteral("h:mm:ss AP"));
}

} // namespace

#include "device/RegisterConversions.h"
#include "device/RegisterMap.h"
#include "settings/DecimalKeyFilter.h"
#include "settings/FieldConversion.h"
#include "settings/WiFiSettings.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

class RussianLocale : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void TearDown() override { QLocale::setDefault(previous_); }

private:
    QLocale previous_;
};

using FieldConversionTest = RussianLocale;

} // namespace

TEST(DecimalKeyResultTest, FollowsTheTextTypedSoFar)
{
    const struct {
        const char* name;
        char16_t typed;
        const char* text;
        bool allowMinus;
        std::optional<QChar> result;
    } cases[] = {
        {"digit", u'7', "", false, QChar(u'7')},
        {"dot becomes the separator", u'.', "1", false, QChar(u',')},
        {"comma as well", u',', "1", true, QChar(u',')},
        {"second separator", u'.', "1,5", false, std::nullopt},
        {"minus on unsigned", u'-', "", false, std::nullopt},
        {"first minus", u'-', "12", true, QChar(u'-')},
        {"second minus", u'-', "-12", true, std::nullopt},
        {"letter", u'e', "1", true, std::nullopt},
        {"blank", u' ', "", true, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecimalKeyResult(QChar(c.typed), QString::fromUtf8(c.text), u',', c.allowMinus), c.result);
    }
}

TEST_F(FieldConversionTest, ScalesRoundsAndRefusesWhatIsNoNumber)
{
    const struct {
        const char* text;
        int scale;
        std::optional<qint32> value;
        const char* error; // conversion error text, or null
    } cases[] = {
        {"0,05", 100000, 5000, nullptr},
        {"0,125", 100, 12, nullptr},
        {"0,375", 100, 38, nullptr},
        {"-1,5", 100, -150, nullptr},
        {"20", 100000, 2000000, nullptr},
        {"30000", 100000, std::nullopt, nullptr}, // beyond 32 bits: a range fault
        {"2", 1, 2, nullptr},
        {"-7", 1, -7, nullptr},
        {"", 100, std::nullopt, "Поле не заполнено: нужно число"},
        {" ", 100, std::nullopt, "Поле не заполнено: нужно число"},
        {"-", 10000, std::nullopt, "Поле: «-» не число"},
        {",", 100, std::nullopt, "Поле: «,» не число"},
        {"0.5", 100, std::nullopt, "Поле: «0.5» не число"},
        {"abc", 100, std::nullopt, "Поле: «abc» не число"},
        {"1,5", 1, std::nullopt, "Поле: «1,5» не целое число от -2147483648 до 2147483647"},
        {"", 1, std::nullopt, "Поле не заполнено: нужно целое число"},
        {"4294967296", 1, std::nullopt, "Поле: «4294967296» не целое число от -2147483648 до 2147483647"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " x " + std::to_string(c.scale));
        const TFieldValue converted = ConvertField(QString::fromUtf8(c.text), c.scale);
        if (c.error) {
            EXPECT_EQ(converted.error.toStdString(), c.error);
            EXPECT_EQ(ConvertField(QString::fromUtf8(c.text), c.scale, QStringLiteral("Усиление")).error,
                      QString::fromUtf8(c.error).replace(0, 4, QStringLiteral("Поле «Усиление»")));
        } else {
            EXPECT_EQ(converted.value, c.value);
            EXPECT_TRUE(converted.error.isEmpty());
        }
    }
}

TEST(ValidateIpAddressTest, TellsBadGroupsFromLargeOnes)
{
    const struct {
        const char* text;
        int result;
    } cases[] = {
        {"192.168.1.101", 0},
        {"192.168.  1.101", 0},
        {"255.255.255.255", 0},
        {"000.0.0.0", 0},
        {"192.168.256.1", 2},
        {"999.1.1.1", 2},
        {"192.168.   .1", 1},
        {"   .   .   .   ", 1},
        {"1.2.3", 1},
        {"1.2.3.4.5", 1},
        {"1.-2.3.4", 1},
        {"256.x.3.4", 1},
        {"\t1.2.3.4 ", 0},
        {"1.2.3.4000000000000", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ValidateIpAddress(QString::fromLatin1(c.text)), c.result);
    }
    EXPECT_EQ(RemoveBlanks(QStringLiteral("192.168.  1.101")), QStringLiteral("192.168.1.101"));
}

namespace {

WiFiSettings defaultWiFiSettings()
{
    WiFiSettings settings;
    settings.deviceName = QStringLiteral("box");
    settings.deviceGroup = QStringLiteral("sklad");
    settings.intervalIndex = 1;
    settings.netName = QStringLiteral("esp");
    settings.passw = QStringLiteral("lan90817263");
    settings.ipAddr = QStringLiteral("192.168.1  .101");
    settings.mask = QStringLiteral("255.255.255.0  ");
    settings.gateway = QStringLiteral("192.168.1  .1  ");
    return settings;
}

} // namespace

TEST(PlanWiFiWriteTest, LaysOutRegisters45To85)
{
    const WiFiWritePlan plan = PlanWiFiWrite(defaultWiFiSettings());
    ASSERT_TRUE(plan.error.isEmpty());
    ASSERT_EQ(plan.writes.size(), 37);
    EXPECT_EQ(plan.writes[0].reg, RegWiFiInterval);
    EXPECT_EQ(plan.writes[0].value, 6);
    const struct {
        int reg;
        int bytes;
        const char* text;
    } fields[] = {{46, 32, "esp"},           {54, 32, "lan90817263"}, {62, 16, "192.168.1.101"},
                  {66, 16, "255.255.255.0"}, {70, 16, "192.168.1.1"}, {78, 32, "box"}};
    qsizetype index = 1;
    for (const auto& field : fields) {
        SCOPED_TRACE(field.text);
        QList<qint32> values;
        for (int reg = field.reg; reg < field.reg + field.bytes / 4; ++reg, ++index) {
            EXPECT_EQ(plan.writes[index].reg, reg);
            values.append(plan.writes[index].value);
        }
        EXPECT_EQ(values, PackText(QString::fromLatin1(field.text), field.bytes));
    }
    EXPECT_EQ(plan.writes[1].value, 0x65737000);
}

TEST(PlanWiFiWriteTest, FirstFailedCheckWins)
{
    const struct {
        const char* name;
        void (*spoil)(WiFiSettings&);
        const char* message;
    } cases[] = {
        {"all blank but the group", [](WiFiSettings& s) { s = WiFiSettings(); s.deviceGroup = "g"; },
         "ОШИБКА! Название сети не заданно!"},
        {"mask and group", [](WiFiSettings& s) { s.mask = "255.255.255.256"; s.deviceGroup.clear(); },
         "ОШИБКА! Маска задана не корректно!"},
        {"group and name", [](WiFiSettings& s) { s.deviceGroup.clear(); s.deviceName.clear(); },
         "ОШИБКА! Группа устройства не заданна!"},
        {"name outside Windows-1251", [](WiFiSettings& s) { s.netName = QString::fromUtf8("日本"); },
         "ОШИБКА! Название сети содержит недопустимые символы!"},
        {"device name outside Windows-1251", [](WiFiSettings& s) { s.deviceName = QString::fromUtf8("✓"); },
         "ОШИБКА! Название устройства содержит недопустимые символы!"},
        {"interval 8 has no item", [](WiFiSettings& s) { s.intervalIndex = 8; },
         "ОШИБКА! Интервал опроса не выбран!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WiFiSettings settings = defaultWiFiSettings();
        c.spoil(settings);
        const WiFiWritePlan plan = PlanWiFiWrite(settings);
        EXPECT_EQ(plan.error, QString::fromUtf8(c.message));
        EXPECT_TRUE(plan.writes.isEmpty());
    }
}

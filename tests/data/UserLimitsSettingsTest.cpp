#include "data/UserLimitsSettings.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

// A settings file of its own in a temporary folder, written as given.
class UserLimitsSettingsTest : public ::testing::Test {
protected:
    QString path() const { return folder_.filePath(QStringLiteral("korvi-monitor.ini")); }

    void writeFile(const QByteArray& text) const
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(text), text.size());
    }

    std::optional<TUserLimits> stored() const { return StoredUserLimits(QSettings(path(), QSettings::IniFormat)); }

private:
    QTemporaryDir folder_;
};

TEST_F(UserLimitsSettingsTest, AllSixLevelsRoundTripUnderTheirKeys)
{
    const TUserLimits chosen{-50, 255, 300, 650, 951, 1032};
    {
        QSettings settings(path(), QSettings::IniFormat);
        StoreUserLimits(settings, chosen);
    }
    EXPECT_EQ(stored(), chosen);
    const QSettings file(path(), QSettings::IniFormat);
    EXPECT_EQ(file.value(QStringLiteral("Limits/PressureMin")).toInt(), 951);
    EXPECT_EQ(file.value(QStringLiteral("Limits/PressureMax")).toInt(), 1032);
    EXPECT_EQ(file.value(QStringLiteral("Limits/TemperatureMin")).toInt(), -50);
}

TEST_F(UserLimitsSettingsTest, FilesOfEarlierRunsAndBrokenOnesLoadWhatTheyCan)
{
    struct Case {
        const char* what;
        QByteArray text;
        std::optional<TUserLimits> expected;
    };
    const QByteArray temperatureAndHumidity =
        "[Limits]\nTemperatureMin=20\nTemperatureMax=85\nHumidityMin=350\nHumidityMax=600\n";
    const Case cases[] = {
        {"nothing chosen yet", "[FileDialogs]\nLastFolder=/tmp\n", std::nullopt},
        {"written before pressure had limits", temperatureAndHumidity, TUserLimits{20, 85, 350, 600}},
        {"with pressure", temperatureAndHumidity + "PressureMin=900\nPressureMax=1050\n",
         TUserLimits{20, 85, 350, 600, 900, 1050}},
        {"one pressure level only", temperatureAndHumidity + "PressureMax=1050\n", TUserLimits{20, 85, 350, 600}},
        {"pressure out of order", temperatureAndHumidity + "PressureMin=1050\nPressureMax=900\n",
         TUserLimits{20, 85, 350, 600}},
        {"a humidity level missing", "[Limits]\nTemperatureMin=20\nTemperatureMax=85\nHumidityMin=350\n",
         std::nullopt},
        {"temperature out of order",
         "[Limits]\nTemperatureMin=85\nTemperatureMax=20\nHumidityMin=350\nHumidityMax=600\n", std::nullopt},
        {"not a number", "[Limits]\nTemperatureMin=x\nTemperatureMax=85\nHumidityMin=350\nHumidityMax=600\n",
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(c.text);
        EXPECT_EQ(stored(), c.expected);
    }
}

TEST(UserLimitsTest, TheConstantsAreTheLimitsUntilOthersAreSet)
{
    const TUserLimits limits;
    EXPECT_EQ(limits.temperatureMax, LimitTMax);
    EXPECT_EQ(limits.humidityMin, LimitRHMin);
    EXPECT_EQ(limits.pressureMin, LimitPMin);
    EXPECT_EQ(limits.pressureMax, LimitPMax);
    EXPECT_TRUE(LimitsAreOrdered(limits));
}

} // namespace

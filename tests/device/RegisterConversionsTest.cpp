#include "device/Cp1251Codec.h"
#include "device/RegisterConversions.h"
#include "device/RegisterMap.h"

#include <gtest/gtest.h>

namespace {

const QLocale Russian(QLocale::Russian, QLocale::Russia);
const QLocale English(QLocale::English, QLocale::UnitedStates);

TEST(ToRegisterValue, ExactDecimalWithTiesToEven)
{
    struct Case {
        const char* text;
        int scale;
        std::optional<qint32> value;
    };
    const Case cases[] = {
        {"0,125", 100, 12},
        {"0,375", 100, 38},
        {"-1,5", 100, -150},
        {"0,05", 100000, 5000},
        {"2,5", 1, 2},
        {"3,5", 1, 4},
        {"-0,5", 1, 0},
        {"-2,5", 1, -2},
        {"0,1250001", 100, 13},
        {"0,0003", 10000, 3},
        {" 12 ", 10, 120},
        {"1,5e2", 1, 150},
        {"123", 1, 123},
        {"2147483647", 1, 2147483647},
        {"-2147483648", 1, std::numeric_limits<qint32>::min()},
        {"21474,836475", 100000, std::nullopt},
        {"2147483648", 1, std::nullopt},
        {"4294967296", 1, std::nullopt},
        {"99999999999999999999", 1, std::nullopt},
        {"", 100, std::nullopt},
        {"-", 100, std::nullopt},
        {",", 100, std::nullopt},
        {"1,2,3", 100, std::nullopt},
        {"1.5", 100, std::nullopt},
        {"abc", 100, std::nullopt},
        {"1e", 1, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ToRegisterValue(QString::fromUtf8(c.text), c.scale, Russian), c.value);
    }
    EXPECT_EQ(ToRegisterValue(QStringLiteral("1.5"), 100, English), 150);
}

TEST(RegisterText, FixedNotationWithoutTrailingZeros)
{
    struct Case {
        qint32 value;
        int scale;
        const char* text;
    };
    const Case cases[] = {
        {5000, 100000, "0,05"},
        {-3, 10000, "-0,0003"},
        {3000, 100, "30"},
        {995, 1000, "0,995"},
        {-150, 100, "-1,5"},
        {0, 100, "0"},
        {-20468, 1, "-20468"},
        {std::numeric_limits<qint32>::min(), 100000, "-21474,83648"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(RegisterText(c.value, c.scale, Russian), QString::fromUtf8(c.text));
    }
    EXPECT_EQ(RegisterText(5000, 100000, English), QStringLiteral("0.05"));
}

TEST(RegisterText, RoundTripsThroughToRegisterValue)
{
    for (const int reg : {RegTempCoeffB1, RegTempSlope, RegTempOffset, RegHumiCoeffA1}) {
        for (const qint32 value : {-123456, -1, 0, 7, 99999, 2000000000}) {
            SCOPED_TRACE(QString("%1 in register %2").arg(value).arg(reg).toStdString());
            const int scale = RegisterScale(reg);
            EXPECT_EQ(ToRegisterValue(RegisterText(value, scale, Russian), scale, Russian), value);
        }
    }
}

TEST(PackText, EspInNetName)
{
    const QList<qint32> values = PackText(QStringLiteral("esp"), NetNameBytes);
    ASSERT_EQ(values.size(), 8);
    EXPECT_EQ(quint32(values[0]), 0x65737000u);
    for (qsizetype i = 1; i < values.size(); ++i)
        EXPECT_EQ(values[i], 0) << "register " << RegNetName + i;
    EXPECT_EQ(TextFromRegisters(values), QStringLiteral("esp"));
}

TEST(PackText, FieldsAreBoundedAndCyrillicTravelsAsCp1251)
{
    const QString longName = QString::fromUtf8("Ёлка-0123456789-0123456789");
    const QList<qint32> address = PackText(longName, AddressBytes);
    ASSERT_EQ(address.size(), 4);
    EXPECT_EQ(quint32(address[0]) >> 24, 0xA8u); // Ё in Windows-1251
    // A full field has no terminating zero and is taken whole.
    EXPECT_EQ(TextFromRegisters(address), longName.left(AddressBytes));

    const QString russian = QString::fromUtf8("Склад №1");
    EXPECT_EQ(TextFromRegisters(PackText(russian, NetNameBytes)), russian);
}

TEST(Cp1251Codec, RoundTripsEveryAssignedByte)
{
    QByteArray all;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != 0x98)
            all.append(char(byte));
    }
    const QString text = Cp1251Codec::decode(all);
    EXPECT_EQ(Cp1251Codec::encode(text), all);
    EXPECT_EQ(Cp1251Codec::decode("\xC0\xFF\xB9\x88"), QString::fromUtf8("Ая№€"));
    EXPECT_EQ(Cp1251Codec::encode(QString::fromUtf8("日")), QByteArray("?"));
    EXPECT_EQ(Cp1251Codec::decode("\x98"), QString(QChar(0xFFFD)));
}

TEST(IntervalCodeTables, LogAndWiFiCodesDiffer)
{
    const TIntervalCodeTable& log = LogIntervalCode();
    const TIntervalCodeTable& wifi = WiFiIntervalCode();
    EXPECT_EQ(log.items().size(), 12);
    EXPECT_EQ(wifi.items().size(), 8);
    EXPECT_EQ(log.codeForIndex(0), 2);
    EXPECT_EQ(log.codeForIndex(10), 12);
    EXPECT_EQ(log.codeForIndex(11), std::nullopt); // "24 часа" has no code in register 30
    EXPECT_EQ(log.indexForCode(6), 4);
    EXPECT_EQ(log.items()[4], QString::fromUtf8("1 минута"));
    EXPECT_EQ(wifi.indexForCode(5), 0);
    EXPECT_EQ(wifi.items()[0], QString::fromUtf8("1 минута"));
    EXPECT_EQ(wifi.codeForIndex(7), 12);
    EXPECT_EQ(wifi.indexForCode(4), std::nullopt);
    EXPECT_EQ(log.indexForCode(13), std::nullopt);
}

} // namespace

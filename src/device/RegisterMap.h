#pragma once

#include <QStringList>
#include <QtGlobal>

#include <array>
#include <optional>

// Numbered 32-bit registers of the logger.
inline constexpr int RegDeviceNumber = 0;
inline constexpr int RegTempCoeffA1 = 5;
inline constexpr int RegTempCoeffB1 = 6;
inline constexpr int RegTempCoeffC1 = 7;
inline constexpr int RegTempCoeffAlfa1 = 8;
inline constexpr int RegTempSlope = 9;
inline constexpr int RegTempOffset = 10;
inline constexpr int RegHumiCoeffA1 = 16;
inline constexpr int RegHumiCoeffB1 = 17;
inline constexpr int RegHumiCoeffC1 = 18;
inline constexpr int RegHumiCoeffAlfa1 = 19;
inline constexpr int RegHumiCoeffA2 = 20;
inline constexpr int RegHumiCoeffB2 = 21;
inline constexpr int RegHumiCoeffC2 = 22;
inline constexpr int RegHumiCoeffAlfa2 = 23;
inline constexpr int RegHumiSlope = 24;
inline constexpr int RegHumiOffset = 25;
inline constexpr int RegPressSlope = 26;
inline constexpr int RegPressOffset = 27;
inline constexpr int RegLogInterval = 30;
inline constexpr int RegOptionsRec = 31;
inline constexpr int RegLogMemUsed = 34;
inline constexpr int RegTLimitMin = 35;
inline constexpr int RegTLimitMax = 36;
inline constexpr int RegRHLimitMin = 37;
inline constexpr int RegRHLimitMax = 38;
inline constexpr int RegWiFiInterval = 45;
inline constexpr int RegNetName = 46;
inline constexpr int RegPassw = 54;
inline constexpr int RegIPAddr = 62;
inline constexpr int RegMask = 66;
inline constexpr int RegGateway = 70;
inline constexpr int RegDeviceName = 78;

// Text fields: bytes per field; four bytes per register.
inline constexpr int NetNameBytes = 32;
inline constexpr int PasswBytes = 32;
inline constexpr int AddressBytes = 16;
inline constexpr int DeviceNameBytes = 32;

// Bits of RegOptionsRec.
inline constexpr qint32 OptionRecTemperature = 1;
inline constexpr qint32 OptionRecHumidity = 2;
inline constexpr qint32 OptionRecPressure = 4;

// One log record of data.log occupies this many bytes of log memory.
inline constexpr int LogRecordBytes = 16;

// Values the initialisation writes to registers 0 to 25, in register order.
inline constexpr std::array<qint32, 26> DefaultRegisterImage{
    0, 1, 1, -3965, 1, 0, -3, 3000, 2, 995, 5000, -20468, 367,
    -159, 1000, 8, -150, 50, 1700, 2, 90, -10, 7000, 2, 100, 0};

// Factor between a register and the value shown for it; 1 for integer registers
// (codes, masks, text and unscaled integers included).
int RegisterScale(int reg);

// A combo box's items and the register codes of its first items: item i has
// code firstCode + i for i below codedItems; the items after that have no code.
class TIntervalCodeTable {
public:
    TIntervalCodeTable(QStringList items, qint32 firstCode, int codedItems);

    const QStringList& items() const { return items_; }
    std::optional<qint32> codeForIndex(int index) const;
    std::optional<int> indexForCode(qint32 code) const;

private:
    QStringList items_;
    qint32 firstCode_;
    int codedItems_;
};

// Register 30, the recording interval: "1 секунда" is 2 ... "10 часа" is 12; "24 часа" has no code.
const TIntervalCodeTable& LogIntervalCode();
// Register 45, the Wi-Fi poll interval: "1 минута" is 5 ... "24 часа" is 12.
const TIntervalCodeTable& WiFiIntervalCode();

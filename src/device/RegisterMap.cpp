#include "device/RegisterMap.h"

#include <utility>

namespace {

struct ScaledRegister {
    int reg;
    int scale;
};

constexpr std::array<ScaledRegister, 19> ScaledRegisters{{
    {RegTempCoeffA1, 100},   {RegTempCoeffB1, 10000}, {RegTempCoeffC1, 100},
    {RegTempSlope, 1000},    {RegTempOffset, 100000}, {RegHumiCoeffA1, 100},
    {RegHumiCoeffB1, 10000}, {RegHumiCoeffC1, 100},   {RegHumiCoeffA2, 100},
    {RegHumiCoeffB2, 10000}, {RegHumiCoeffC2, 100},   {RegHumiSlope, 100},
    {RegHumiOffset, 10000},  {RegPressSlope, 100},    {RegPressOffset, 1000},
    {RegTLimitMin, 10},      {RegTLimitMax, 10},      {RegRHLimitMin, 10},
    {RegRHLimitMax, 10},
}};

QStringList utf8List(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

} // namespace

int RegisterScale(int reg)
{
    for (const ScaledRegister& entry : ScaledRegisters) {
        if (entry.reg == reg)
            return entry.scale;
    }
    return 1;
}

TIntervalCodeTable::TIntervalCodeTable(QStringList items, qint32 firstCode, int codedItems)
    : items_(std::move(items)), firstCode_(firstCode), codedItems_(codedItems)
{
}

std::optional<qint32> TIntervalCodeTable::codeForIndex(int index) const
{
    if (index < 0 || index >= codedItems_)
        return std::nullopt;
    return firstCode_ + index;
}

std::optional<int> TIntervalCodeTable::indexForCode(qint32 code) const
{
    const qint64 index = qint64(code) - firstCode_;
    if (index < 0 || index >= codedItems_)
        return std::nullopt;
    return int(index);
}

const TIntervalCodeTable& LogIntervalCode()
{
    static const TIntervalCodeTable table(
        utf8List({"1 секунда", "5 секунд", "15 секунд", "30 секунд", "1 минута", "5 минут",
                  "15 минут", "30 минут", "1 час", "5 часов", "10 часа", "24 часа"}),
        2, 11);
    return table;
}

const TIntervalCodeTable& WiFiIntervalCode()
{
    static const TIntervalCodeTable table(
        utf8List({"1 минута", "5 минут", "15 минут", "30 минут", "1 час", "5 часов", "10 часа",
                  "24 часа"}),
        5, 8);
    return table;
}

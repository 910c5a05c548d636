#include "settings/CalibrationTables.h"

#include "device/RegisterMap.h"

namespace {

using F = FieldKeyFilter;

qint32 initialValue(int reg)
{
    return DefaultRegisterImage[std::size_t(reg)];
}

} // namespace

// The temperature page writes its captions and messages with the Cyrillic А, В, С.
const CalibrationPageTable& TempPageTable()
{
    static const CalibrationPageTable table{
        {
            {"EditTempOffset", "Смещение", RegTempOffset, 100000, F::SignedDecimal,
             initialValue(RegTempOffset), -2000000, 2000000,
             "ОШИБКА ! Смещение для температуры заданно не правильно"},
            {"EditTempSlope", "Усиление", RegTempSlope, 1000, F::Decimal, initialValue(RegTempSlope),
             1, 2000, "ОШИБКА ! Усиление для температуры заданно не правильно"},
            {"EditTempCoeffA1", "А1", RegTempCoeffA1, 100, F::SignedDecimal,
             initialValue(RegTempCoeffA1), -300, 300,
             "ОШИБКА ! Коэффициент А для температуры задан не правильно"},
            {"EditTempCoeffB1", "В1", RegTempCoeffB1, 10000, F::SignedDecimal,
             initialValue(RegTempCoeffB1), -10000, 10000,
             "ОШИБКА ! Коэффициент В для температуры задан не правильно"},
            {"EditTempCoeffC1", "С1", RegTempCoeffC1, 100, F::Digits, initialValue(RegTempCoeffC1),
             -5000, 5000, "ОШИБКА ! Коэффициент С для температуры задан не правильно"},
            {"EditTempCoeffAlfa1", "Alfa1", RegTempCoeffAlfa1, 1, F::Digits,
             initialValue(RegTempCoeffAlfa1), 1, 2,
             "ОШИБКА ! Коэффициент Alfa для температуры задан не правильно"},
        },
        {
            {0, "ButtonTempOffsetRead", "ButtonTempOffsetWrite", -1999999, 1999999,
             "Чтение смещения для температуры успешно выполнено",
             "Запись смещения для температуры успешно выполнена",
             "ОШИБКА! Смещение для температуры задано неправильно"},
            {1, "ButtonTempSlopeRead", "ButtonTempSlopeWrite", 1, 1999,
             "Чтение усиления для температуры успешно выполнено",
             "Запись усиления для температуры успешно выполнена",
             "ОШИБКА! Усиление для температуры задано неправильно"},
        },
        "ButtonTempDefault",
        "ButtonTempReadAll",
        "ButtonTempWriteAll",
        "Чтение всех коэффициентов для температуры успешно выполнено",
        "Запись всех коэффициентов для температуры выполнена",
        4,
    };
    return table;
}

const CalibrationPageTable& HumiPageTable()
{
    // The second coefficient set takes any text: its fields have no key filter.
    static const CalibrationPageTable table{
        {
            {"EditHumiOffset", "Смещение", RegHumiOffset, 10000, F::SignedDecimal,
             initialValue(RegHumiOffset), -200000, 200000,
             "ОШИБКА! Смещение для влажности задано неправильно"},
            {"EditHumiSlope", "Усиление", RegHumiSlope, 100, F::Decimal, initialValue(RegHumiSlope),
             1, 200, "ОШИБКА! Усиление для влажности задано неправильно"},
            {"EditHumiCoeffA1", "A1", RegHumiCoeffA1, 100, F::SignedDecimal,
             initialValue(RegHumiCoeffA1), -900, 900,
             "ОШИБКА! Коэффициент A1 для влажности задан неправильно"},
            {"EditHumiCoeffB1", "B1", RegHumiCoeffB1, 10000, F::SignedDecimal,
             initialValue(RegHumiCoeffB1), -10000, 10000,
             "ОШИБКА! Коэффициент B1 для влажности задан неправильно"},
            {"EditHumiCoeffC1", "C1", RegHumiCoeffC1, 100, F::Digits, initialValue(RegHumiCoeffC1),
             -8000, 8000, "ОШИБКА! Коэффициент C1 для влажности задан неправильно"},
            {"EditHumiCoeffAlfa1", "Alfa1", RegHumiCoeffAlfa1, 1, F::Digits,
             initialValue(RegHumiCoeffAlfa1), 1, 2,
             "ОШИБКА! Коэффициент Alfa1 для влажности задан неправильно"},
            {"EditHumiCoeffA2", "A2", RegHumiCoeffA2, 100, F::None, initialValue(RegHumiCoeffA2),
             -300, 300, "ОШИБКА! Коэффициент A2 для влажности задан неправильно"},
            {"EditHumiCoeffB2", "B2", RegHumiCoeffB2, 10000, F::None, initialValue(RegHumiCoeffB2),
             -10000, 10000, "ОШИБКА! Коэффициент B2 для влажности задан неправильно"},
            {"EditHumiCoeffC2", "C2", RegHumiCoeffC2, 100, F::None, initialValue(RegHumiCoeffC2),
             -8000, 8000, "ОШИБКА! Коэффициент C2 для влажности задан неправильно"},
            {"EditHumiCoeffAlfa2", "Alfa2", RegHumiCoeffAlfa2, 1, F::None,
             initialValue(RegHumiCoeffAlfa2), 1, 2,
             "ОШИБКА! Коэффициент Alfa2 для влажности задан неправильно"},
        },
        {
            {0, "ButtonHumiOffsetRead", "ButtonHumiOffsetWrite", -200000, 200000,
             "Чтение смещения для влажности успешно выполнено",
             "Запись смещения для влажности успешно выполнена",
             "ОШИБКА! Смещение для влажности задано неправильно"},
            {1, "ButtonHumiSlopeRead", "ButtonHumiSlopeWrite", 0, 200,
             "Чтение усиления для влажности успешно выполнено",
             "Запись усиления для влажности успешно выполнена",
             "ОШИБКА! Усиление для влажности задано неправильно"},
        },
        "ButtonHumiDefault",
        "ButtonHumiReadAll",
        "ButtonHumiWriteAll",
        "Чтения всех коэффициентов для влажности успешно выполнено",
        "Запись всех коэффициентов для влажности успешно выполнена",
        4,
    };
    return table;
}

// The pressure page has no page-wide actions, so its fields carry no page range.
// Its defaults are its own: the initialisation does not cover registers 26 and 27.
const CalibrationPageTable& PressPageTable()
{
    static const CalibrationPageTable table{
        {
            {"EditPressOffset", "Смещение", RegPressOffset, 1000, F::SignedDecimal, 10, 0, 0, nullptr},
            {"EditPressSlope", "Усиление", RegPressSlope, 100, F::Decimal, 200, 0, 0, nullptr},
        },
        {
            {0, "ButtonPressOffsetRead", "ButtonPressOffsetWrite", -100000, 100000,
             "Чтение смещения для давлениия успешно выполнено",
             "Запись смещения для давления успешно выполнена",
             "ОШИБКА! Смещение для давления заданно не правильно!"},
            {1, "ButtonPressSlopeRead", "ButtonPressSlopeWrite", 0, 200,
             "Чтение усиления для давлениия успешно выполнено",
             "Запись усиления для давления успешно выполнена",
             "ОШИБКА! Усиление для давления задано неправильно"},
        },
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        4,
    };
    return table;
}

// The settings' text handling on arbitrary text and register values: unpacking
// a text field, address validation, the Wi-Fi write plan and the field
// conversions, with the round trips that must hold.
#include "FuzzInput.h"

#include "device/RegisterConversions.h"
#include "settings/FieldConversion.h"
#include "settings/WiFiSettings.h"
#include "text/FormatLocale.h"

#include <array>

namespace {

constexpr std::array<int, 6> Scales{1, 10, 100, 1000, 10000, 100000};

void fuzzRegisterText(FuzzInput& input)
{
    const int registers = input.take<uint8_t>() % 16;
    QList<qint32> values;
    for (int i = 0; i < registers; ++i)
        values.append(input.take<qint32>());
    const QString text = TextFromRegisters(values);
    FUZZ_CHECK(text.size() <= 4 * registers);
    // Packing what was unpacked gives the same field back up to its first zero
    // byte; 0x98, which Windows-1251 leaves undefined, comes back as "?".
    if (!text.contains(QChar(QChar::ReplacementCharacter)))
        FUZZ_CHECK(TextFromRegisters(PackText(text, 4 * registers)) == text);
}

void fuzzConversions(FuzzInput& input)
{
    const int scale = Scales[input.take<uint8_t>() % Scales.size()];
    const QLocale locale = FormatLocale();
    const qint32 value = input.take<qint32>();
    // Every register value shows as a text that converts back to it.
    FUZZ_CHECK(ToRegisterValue(RegisterText(value, scale, locale), scale, locale) == value);

    const QString text = input.takeText(64);
    ToRegisterValue(text, scale, locale);
    const TFieldValue converted = ConvertField(text, scale);
    // A typo is refused with a message and no value.
    FUZZ_CHECK(converted.error.isEmpty() || !converted.value);
    const QList<qint32> packed = PackText(text, 4 * (input.take<uint8_t>() % 17));
    FUZZ_CHECK(TextFromRegisters(packed).size() <= 4 * packed.size());
}

void fuzzWiFi(FuzzInput& input)
{
    WiFiSettings settings;
    settings.deviceName = input.takeText(40);
    settings.deviceGroup = input.takeText(40);
    settings.intervalIndex = int(input.take<int8_t>());
    settings.netName = input.takeText(40);
    settings.passw = input.takeText(40);
    settings.ipAddr = input.takeText(24);
    settings.mask = input.takeText(24);
    settings.gateway = input.takeText(24);
    for (const QString& address : {settings.ipAddr, settings.mask, settings.gateway}) {
        const int verdict = ValidateIpAddress(address);
        FUZZ_CHECK(verdict >= 0 && verdict <= 2);
    }
    const WiFiWritePlan plan = PlanWiFiWrite(settings);
    FUZZ_CHECK(plan.error.isEmpty() != plan.writes.isEmpty());
    for (const RegisterWrite& write : plan.writes)
        FUZZ_CHECK(write.reg >= 45 && write.reg <= 85);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    switch (input.take<uint8_t>() % 3) {
    case 0:
        fuzzRegisterText(input);
        break;
    case 1:
        fuzzConversions(input);
        break;
    default:
        fuzzWiFi(input);
        break;
    }
    return 0;
}

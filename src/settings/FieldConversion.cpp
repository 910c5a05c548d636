#include "settings/FieldConversion.h"

#include "device/FormatLocale.h"
#include "device/RegisterConversions.h"

#include <stdexcept>

namespace {

[[noreturn]] void throwConversionError(const QString& text, const char* kind)
{
    throw std::runtime_error("'" + text.toStdString() + "' is not a valid " + kind + " value");
}

} // namespace

std::optional<qint32> ConvertField(const QString& text, int scale)
{
    if (scale == 1) {
        bool isInteger = false;
        const qint32 value = text.toInt(&isInteger, 10);
        if (!isInteger)
            throwConversionError(text, "integer");
        return value;
    }
    QLocale locale = FormatLocale();
    const std::optional<qint32> value = ToRegisterValue(text, scale, locale);
    if (value)
        return value;
    // Not a register value: either no number at all or one too large for 32 bits.
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool isNumber = false;
    locale.toDouble(text, &isNumber);
    if (!isNumber)
        throwConversionError(text, "floating point");
    return std::nullopt;
}

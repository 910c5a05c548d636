#include "settings/FieldConversion.h"

#include "device/RegisterConversions.h"
#include "text/FormatLocale.h"

namespace {

TFieldValue conversionError(const QString& text, const char* kind)
{
    return {std::nullopt, QStringLiteral("'%1' is not a valid %2 value").arg(text, QLatin1String(kind))};
}

} // namespace

TFieldValue ConvertField(const QString& text, int scale)
{
    if (scale == 1) {
        bool isInteger = false;
        const qint32 value = text.toInt(&isInteger, 10);
        if (!isInteger)
            return conversionError(text, "integer");
        return {value, QString()};
    }
    QLocale locale = FormatLocale();
    const std::optional<qint32> value = ToRegisterValue(text, scale, locale);
    if (value)
        return {value, QString()};
    // Not a register value: either no number at all or one too large for 32 bits.
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool isNumber = false;
    locale.toDouble(text, &isNumber);
    if (!isNumber)
        return conversionError(text, "floating point");
    return {};
}

#include "settings/FieldConversion.h"

#include "device/RegisterConversions.h"
#include "text/FormatLocale.h"

namespace {

TFieldValue conversionError(const QString& text, const QString& caption, bool integer)
{
    const QString field = caption.isEmpty() ? QStringLiteral("Поле") : QStringLiteral("Поле «%1»").arg(caption);
    const QString number = integer ? QStringLiteral("целое число") : QStringLiteral("число");
    if (text.trimmed().isEmpty())
        return {std::nullopt, QStringLiteral("%1 не заполнено: нужно %2").arg(field, number)};
    const QString range = integer ? QStringLiteral(" от -2147483648 до 2147483647") : QString();
    return {std::nullopt, QStringLiteral("%1: «%2» не %3%4").arg(field, text, number, range)};
}

} // namespace

TFieldValue ConvertField(const QString& text, int scale, const QString& caption)
{
    if (scale == 1) {
        bool isInteger = false;
        const qint32 value = text.toInt(&isInteger, 10);
        if (!isInteger)
            return conversionError(text, caption, true);
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
        return conversionError(text, caption, false);
    return {};
}

#include "views/BoundEditRules.h"

#include "views/TableFilter.h"

namespace {

constexpr char16_t Backspace = 8;

} // namespace

std::optional<QChar> BoundEditKey(QChar typed, const QString& currentText, const QString& decimalSeparator)
{
    if ((typed >= u'0' && typed <= u'9') || typed == QChar(Backspace))
        return typed;
    if (typed == u'.' || typed == u',') {
        if (decimalSeparator.isEmpty() || currentText.contains(decimalSeparator))
            return std::nullopt;
        return decimalSeparator.front();
    }
    return std::nullopt;
}

std::optional<QString> BoundEditRangeFix(const QString& text, const TBoundRange& range, const QLocale& locale)
{
    const std::optional<float> value = ConvertBoundText(text, locale);
    if (!value || (*value >= 0 && *value <= float(range.limit)))
        return std::nullopt;
    return range.replacement;
}

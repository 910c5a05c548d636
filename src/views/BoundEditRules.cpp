#include "views/BoundEditRules.h"

#include "views/TableFilter.h"

std::optional<QChar> BoundEditKey(QChar typed, const QString& currentText, const QString& decimalSeparator)
{
    if (!typed.isPrint() || (typed >= u'0' && typed <= u'9'))
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

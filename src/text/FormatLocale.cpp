#include "text/FormatLocale.h"

#include <QRegularExpression>

QLocale FormatLocale()
{
    const QLocale locale;
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::Russian, QLocale::Russia);
    return locale;
}

QString LongTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression timeZone(QStringLiteral("\\s*t+\\s*"));
    format.replace(timeZone, QString());
    return format.trimmed();
}

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

QString DurationText(qint64 seconds)
{
    const QChar zero(u'0');
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, zero)
        .arg(seconds % 60, 2, 10, zero);
}

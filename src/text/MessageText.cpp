#include "text/MessageText.h"

QString WithDetail(const QString& line, const QString& detail)
{
    const QString trimmed = detail.trimmed();
    return trimmed.isEmpty() ? line : line + QLatin1Char('\n') + trimmed;
}

QString MessageLine(const QString& message)
{
    return message.section(QLatin1Char('\n'), 0, 0);
}

QString MessageDetail(const QString& message)
{
    return message.section(QLatin1Char('\n'), 1).trimmed();
}

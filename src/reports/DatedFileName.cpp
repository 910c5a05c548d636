#include "reports/DatedFileName.h"

#include <QRegularExpression>

QString DatedFileName(const QDate& date, const QLocale& locale, const QString& extension)
{
    static const QRegularExpression notInFileNames(QStringLiteral("[/\\\\:*?\"<>|]"));
    QString name = locale.toString(date, QLocale::ShortFormat);
    name.replace(notInFileNames, QStringLiteral("-"));
    return name + QLatin1Char('.') + extension;
}

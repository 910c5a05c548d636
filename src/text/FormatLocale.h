#pragma once

#include <QLocale>
#include <QString>

// The locale every text of the program is formatted and parsed with: Qt's default
// locale (the system's unless QLocale::setDefault changed it, as tests do), except
// that a C/POSIX default stands for "no locale" and gives Russian, the language
// of the screens.
QLocale FormatLocale();

// The format locale's long time format reduced to hours, minutes and seconds:
// Qt's long formats may carry a time zone, which the program never shows.
QString LongTimeFormat(const QLocale& locale = FormatLocale());

// A duration as "ч:мм:сс", hours unbounded ("0:00:05", "125:03:00").
QString DurationText(qint64 seconds);

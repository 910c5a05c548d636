#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// The name a report or chart image is proposed under: the date in the
// locale's short format and the extension ("08.12.2025.xlsx"). Characters a
// file name cannot hold, such as the slashes of 12/10/26, become "-".
QString DatedFileName(const QDate& date, const QLocale& locale, const QString& extension);

#pragma once

#include "data/LogRecord.h"

#include <QLocale>
#include <QString>

// Writes the row table's texts from typed values with one locale: its short
// date format, its long time format and its decimal separator.
class TCellFormatter
{
public:
    explicit TCellFormatter(const QLocale& locale);

    QString dateText(qint64 time) const;
    QString timeText(qint64 time) const;
    // Date and time separated by a blank, as the interval selector lists them.
    QString dateTimeText(qint64 time) const;
    // Chart point label: the time above the date.
    QString pointLabel(qint64 baseTime) const;
    // Tenths as the shortest decimal text: 235 -> "23,5", 200 -> "20", -5 -> "-0,5".
    QString tenthsText(int tenths) const;
    QString cellText(const TRowValues& row, int column) const;

    const QLocale& locale() const { return locale_; }

private:
    QLocale locale_;
    QString dateFormat_;
    QString timeFormat_;
    QString decimalPoint_;
    QString negativeSign_;
};

#pragma once

#include "data/RowSpanView.h"

#include <QLocale>
#include <QString>

#include <optional>

// A bound edit's text as a number: set only when the whole text converts
// to a finite single-precision value with the locale's decimal separator.
std::optional<float> ConvertBoundText(const QString& text, const QLocale& locale);

// The value rounded to the nearest tenth, a tie going to the even tenth, in
// tenths: 21.25 -> 212, 21.75 -> 218, 21.3f -> 213.
double RoundToTenths(double value);

// The table page's two filters: a period, both ends included, and up to four
// bounds on temperature and humidity, each rounded to a tenth as a cell is.
class TTableFilter
{
public:
    TTableFilter(qint64 from, qint64 to) : from_(from), to_(to) {}

    // Bounds from the four edits' texts; a text that does not convert sets none.
    void setBoundTexts(const QString& tMax, const QString& tMin, const QString& rhMax, const QString& rhMin,
                       const QLocale& locale);

    // A bound on a channel keeps only the rows that have it: an empty cell
    // holds no value to be within a bound, and passes only with none set.
    bool valuesPass(const std::optional<int>& temperatureTenths, const std::optional<int>& humidityTenths) const;

    // The rows of the store that lie in the period and within the bounds: one
    // span per record at most, so the cost follows records, not rows.
    TRowSpanView apply(const TMeasurementStore& store) const;

    qint64 from() const { return from_; }
    qint64 to() const { return to_; }

private:
    qint64 from_;
    qint64 to_;
    std::optional<double> tMax_; // tenths
    std::optional<double> tMin_;
    std::optional<double> rhMax_;
    std::optional<double> rhMin_;
};

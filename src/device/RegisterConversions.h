#pragma once

#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

// Conversions between the texts of the settings pages and register values.
// Scales are powers of ten: 1 (a plain integer), 10, 100, 1000, 10000 or 100000.

// The text times the scale, rounded to the nearest integer with ties to even. The
// arithmetic is exact decimal, so 0,125 x 100 is a true tie. The decimal separator
// is the locale's; surrounding blanks are ignored and an exponent ("1,5e2") is
// accepted. nullopt when the text is not a number or the product leaves int32.
std::optional<qint32> ToRegisterValue(const QString& text, int scale, const QLocale& locale);

// A register as shown in a field: value / scale in fixed notation, no trailing
// zeros, no separator for a whole value, the locale's decimal separator.
QString RegisterText(qint32 value, int scale, const QLocale& locale);

// A text field of fieldBytes bytes (a multiple of four) as register values: the
// text in Windows-1251, zero-padded, cut to the field, four bytes per register,
// the first byte in the most significant position.
QList<qint32> PackText(const QString& text, int fieldBytes);

// The inverse of PackText: the bytes up to the first zero byte, decoded from
// Windows-1251; a field without a zero byte is taken whole.
QString TextFromRegisters(const QList<qint32>& values);

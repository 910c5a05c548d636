#pragma once

#include <QString>

#include <optional>

// The register value of a settings field. scale 1 marks an integer field, whose
// text must be a 32-bit integer; other fields are decimal numbers in the format
// locale, times the scale, rounded half to even.
// Throws std::runtime_error "'<text>' is not a valid integer value" or "'<text>'
// is not a valid floating point value" when the text is no number; nullopt when
// a number times its scale leaves the 32-bit range (a range fault, not a typo).
std::optional<qint32> ConvertField(const QString& text, int scale);

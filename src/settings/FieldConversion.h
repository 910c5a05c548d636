#pragma once

#include <QString>

#include <optional>

// A settings field's register value, or why its text gives none.
struct TFieldValue {
    // nullopt when the text is no number, or a number that times its scale
    // leaves the 32-bit range (a range fault, not a typo).
    std::optional<qint32> value;
    // One Russian line naming the field when the text is no number (or, in
    // an integer field, no 32-bit integer); empty otherwise.
    QString error;
};

// The register value of a settings field. scale 1 marks an integer field, whose
// text must be a 32-bit integer; other fields are decimal numbers in the format
// locale, times the scale, rounded half to even. `caption` names the field in
// the error.
TFieldValue ConvertField(const QString& text, int scale, const QString& caption = {});

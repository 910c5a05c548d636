#pragma once

#include <QChar>
#include <QLocale>
#include <QString>

#include <optional>

// The key rule of the table page's bound edits, for the characters keys carry:
// digits pass, a full stop or a comma becomes the decimal separator unless the
// text already has one, and every other printable character (minus, letters)
// is dropped. Control characters (Backspace, Delete as X11 sends it, Enter,
// the clipboard keys) belong to editing keys and pass. Answers the character
// the edit receives, if any.
std::optional<QChar> BoundEditKey(QChar typed, const QString& currentText, const QString& decimalSeparator);

// The range rule of one bound edit: a number below 0 or above the limit
// gives way to the edit's replacement text.
struct TBoundRange {
    int limit;
    QString replacement;
};

// The text the edit must show instead, when its text is a number out of range.
std::optional<QString> BoundEditRangeFix(const QString& text, const TBoundRange& range, const QLocale& locale);

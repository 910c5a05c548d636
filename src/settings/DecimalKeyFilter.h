#pragma once

#include <QObject>
#include <QString>

#include <optional>

// What a decimal field does with one typed character, given its current text:
// the character to insert, or nothing when the key is swallowed. Digits pass;
// '.' and ',' become the locale's separator while the text has none; a minus
// sign passes only where signs are allowed and the text has none yet.
std::optional<QChar> DecimalKeyResult(QChar typed, const QString& text, QChar separator,
                                      bool allowMinus);

// Key press filter of unsigned decimal fields (a QLineEdit): DecimalKeyResult
// without the minus sign. Backspace and keys that type nothing pass; control
// characters, the clipboard shortcuts among them, are swallowed.
class DecimalKeyFilter : public QObject {
    Q_OBJECT

public:
    explicit DecimalKeyFilter(QObject* parent = nullptr) : DecimalKeyFilter(false, parent) {}

protected:
    DecimalKeyFilter(bool allowMinus, QObject* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool allowMinus_;
};

#pragma once

#include <QObject>

// Key press filter of number fields: digits and Backspace pass, every other
// character is swallowed, the clipboard and other control shortcuts included.
// Keys that type nothing (arrows, Home, End, Delete, Tab) keep working.
class DigitKeyFilter : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

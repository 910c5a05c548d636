#pragma once

#include <QKeyEvent>

// Keys that edit or move rather than type. Under X11 Backspace, Delete, Tab,
// Return and Escape carry the control characters 8, 127, 9, 13 and 27, and a
// field's character rule must let them reach the field and its dialog.
inline bool IsEditingKey(const QKeyEvent& key)
{
    const QString text = key.text();
    return key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete || (text.size() == 1 && !text[0].isPrint());
}

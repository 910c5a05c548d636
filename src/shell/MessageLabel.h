#pragma once

#include <QString>

class QLabel;

// A status line of a window: one line high whatever it is told, a line
// longer than the window cut at its edge rather than widening the window.
void MakeOneLineStatus(QLabel* label);
// Shows the message's line (text/MessageText.h); the whole message, detail
// included, is the tooltip, for a line cut short or a reason in the detail.
void ShowMessageLine(QLabel* label, const QString& message);
// The same, in red when the message tells of a fault the user must see to.
void ShowMessageLine(QLabel* label, const QString& message, bool fault);

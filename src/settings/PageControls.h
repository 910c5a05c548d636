#pragma once

#include <QString>

#include <utility>

class QPushButton;
class QWidget;

// A control of a settings page with its object name, by which tests and
// assistive technology find it; `arguments` go to the control's constructor.
template <typename Control, typename... Arguments>
Control* NewNamedControl(const char* name, Arguments&&... arguments)
{
    auto* control = new Control(std::forward<Arguments>(arguments)...);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// A push button of a settings page: its caption and its object name.
QPushButton* NewPageButton(const char* caption, const char* name, QWidget* parent);

// The program's error box, over `parent`: what a handler shows when it cannot
// go on, and the program's last net for an error that escapes one.
void ShowErrorBox(QWidget* parent, const QString& message);

#pragma once

class QPushButton;
class QString;
class QWidget;

// A push button of a settings page: its caption and its object name, by
// which tests and assistive technology find it.
QPushButton* NewPageButton(const char* caption, const char* name, QWidget* parent);

// The program's error box, over `parent`: what a handler shows when it cannot
// go on, and the program's last net for an error that escapes one.
void ShowErrorBox(QWidget* parent, const QString& message);

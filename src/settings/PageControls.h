#pragma once

class QPushButton;
class QWidget;

// A push button of a settings page: its caption and its object name, by
// which tests and assistive technology find it.
QPushButton* NewPageButton(const char* caption, const char* name, QWidget* parent);

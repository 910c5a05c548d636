#pragma once

class QDateEdit;
class QString;
class QWidget;

// The common look of the program's windows: white background and centring
// on the screen or on another window.
namespace WindowLook {

void applyWhiteBackground(QWidget* window);
void centreOnScreen(QWidget* window);
void centreOn(QWidget* window, const QWidget* anchor);
// A date field of a period filter: today, "dd.MM.yyyy", with a calendar to pick from.
QDateEdit* datePicker(const QString& name, const QString& accessibleName, QWidget* parent);

}  // namespace WindowLook

#pragma once

class QWidget;

// The common look of the program's windows: white background and centring
// on the screen or on another window.
namespace WindowLook {

void applyWhiteBackground(QWidget* window);
void centreOnScreen(QWidget* window);
void centreOn(QWidget* window, const QWidget* anchor);

}  // namespace WindowLook

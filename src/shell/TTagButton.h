#pragma once

#include <QPushButton>

// A push button that carries a small integer mark besides its caption; the
// monitor's logger button keeps the test-mode mark in it.
class TTagButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

    int Tag = 0;
};

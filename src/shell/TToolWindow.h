#pragma once

#include <QWidget>

// A secondary window with the small tool-window frame that opens centred on
// the program's main window the first time it is shown.
class TToolWindow : public QWidget {
    Q_OBJECT
public:
    TToolWindow(QWidget* mainWindow, const QString& caption, QSize clientSize);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* mainWindow_;
    bool placed_ = false;
};

#include "shell/TToolWindow.h"

#include "shell/WindowLook.h"

TToolWindow::TToolWindow(QWidget* mainWindow, const QString& caption, QSize clientSize)
    : QWidget(nullptr, Qt::Tool)
    , MainWindow(mainWindow)
{
    setWindowTitle(caption);
    WindowLook::applyWhiteBackground(this);
    resize(clientSize);
}

void TToolWindow::showEvent(QShowEvent* event)
{
    if (!Placed) {
        WindowLook::centreOn(this, MainWindow);
        Placed = true;
    }
    QWidget::showEvent(event);
}

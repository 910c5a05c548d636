#include "shell/TToolWindow.h"

#include "shell/WindowLook.h"

TToolWindow::TToolWindow(QWidget* mainWindow, const QString& caption, QSize clientSize)
    : QWidget(nullptr, Qt::Tool)
    , mainWindow_(mainWindow)
{
    setWindowTitle(caption);
    WindowLook::applyWhiteBackground(this);
    resize(clientSize);
}

void TToolWindow::showEvent(QShowEvent* event)
{
    if (!placed_) {
        WindowLook::centreOn(this, mainWindow_);
        placed_ = true;
    }
    QWidget::showEvent(event);
}

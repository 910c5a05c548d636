#pragma once

#include "shell/TToolWindow.h"

class QListWidget;
class QTabWidget;
class QTimer;

// The settings window: the logger's configuration pages, the status list and
// the timers of detection and live poll. It works whether shown or hidden.
class TFormSetting : public TToolWindow {
    Q_OBJECT
public:
    explicit TFormSetting(QWidget* mainWindow);

    QTabWidget* PageControl;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    QWidget* TabSheet5;
    QWidget* TabSheet6;
    QListWidget* ListBox1;
    QTimer* Timer1;
    QTimer* Timer2;
    QTimer* TimerDateTime;

    // The five service pages, in the order the service key switches them.
    QList<QWidget*> ServicePages() const;
    bool PageVisible(QWidget* page) const;
    void SetPageVisible(QWidget* page, bool visible);

private:
    QWidget* addPage(const QString& objectName, const QString& caption);
};

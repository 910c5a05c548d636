#pragma once

#include "shell/TToolWindow.h"

class QPushButton;
class QTableWidget;

// The statistics window: twelve captioned rows summarising the loaded data.
class TFormStatistic : public TToolWindow {
    Q_OBJECT
public:
    explicit TFormStatistic(QWidget* mainWindow);

    QTableWidget* StringGridStatistic;
    QPushButton* ButtonClose;

public slots:
    void ButtonCloseClick();

private:
    void FormCreate();
};

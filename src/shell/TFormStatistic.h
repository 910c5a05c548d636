#pragma once

#include "shell/TToolWindow.h"

class QPushButton;
class QTableWidget;
class TMeasurementStore;

// The statistics window: twelve captioned rows summarising the loaded data.
class TFormStatistic : public TToolWindow {
    Q_OBJECT
public:
    TFormStatistic(QWidget* mainWindow, const TMeasurementStore& store);

    QTableWidget* StringGridStatistic;
    QPushButton* ButtonClose;

public slots:
    void ButtonCloseClick();

private:
    void FormCreate();

    const TMeasurementStore& Store;
};

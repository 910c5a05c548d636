#pragma once

#include "shell/TToolWindow.h"

class QPushButton;
class QTableWidget;
class TMeasurementStore;

// The statistics window: twelve captioned rows summarising the loaded data,
// and below them the mean kinetic temperature and the limit excursions.
class TFormStatistic : public TToolWindow {
    Q_OBJECT
public:
    TFormStatistic(QWidget* mainWindow, const TMeasurementStore& store);

    QTableWidget* StringGridStatistic;
    QTableWidget* StringGridMetrology;
    QPushButton* ButtonClose;

    // Rewrites the value column from the whole row table; the spreadsheet
    // report calls it too, whether or not the window is shown.
    void ComputeStatistics();

public slots:
    void ButtonCloseClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();

    const TMeasurementStore& Store;
};

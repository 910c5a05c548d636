#pragma once

#include "data/MeasurementLimits.h"
#include "shell/TToolWindow.h"

class QPushButton;
class QTableWidget;
class TMeasurementStore;
class TUserLimitsHolder;

// The statistics window: twelve captioned rows summarising the loaded data,
// and below them the mean kinetic temperature and the excursions beyond the
// limits in use, which "Пределы..." sets through their keeper.
class TFormStatistic : public TToolWindow {
    Q_OBJECT
public:
    TFormStatistic(QWidget* mainWindow, const TMeasurementStore& store, TUserLimitsHolder& limits);

    // Rewrites the value column from the whole row table; the spreadsheet
    // report calls it too, whether or not the window is shown.
    void ComputeStatistics();

signals:
    // "Пределы..." was accepted with limits other than those in use before.
    void limitsChosen(const TUserLimits& before, const TUserLimits& after);

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void ButtonLimitsClick();
    void ButtonCloseClick();

private:
    void FormCreate();
    void FormShow();
    void showLimits();

    QTableWidget* StringGridStatistic;
    QTableWidget* StringGridMetrology;
    QPushButton* ButtonLimits;
    QPushButton* ButtonClose;

    const TMeasurementStore& store_;
    TUserLimitsHolder& limits_;
};

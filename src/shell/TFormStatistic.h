#pragma once

#include "data/MeasurementLimits.h"
#include "shell/TToolWindow.h"

#include <optional>

class QPushButton;
class QTableWidget;
class TMeasurementStore;

// The statistics window: twelve captioned rows summarising the loaded data,
// and below them the mean kinetic temperature and the excursions beyond the
// user's limits, which "Пределы..." sets and the program keeps between runs.
class TFormStatistic : public TToolWindow {
    Q_OBJECT
public:
    TFormStatistic(QWidget* mainWindow, const TMeasurementStore& store);

    // Rewrites the value column from the whole row table; the spreadsheet
    // report calls it too, whether or not the window is shown.
    void ComputeStatistics();

    // The levels the excursions count against, as last chosen.
    const TUserLimits& limits() const { return limits_; }

public slots:
    // The logger's critical levels, as a read on its settings page found
    // them: "Пределы..." offers them from then on.
    void offerLoggerLevels(const TUserLimits& levels);

signals:
    void limitsChanged(const TUserLimits& limits);

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void ButtonLimitsClick();
    void ButtonCloseClick();

private:
    void FormCreate();
    void FormShow();
    void setLimits(const TUserLimits& limits);

    QTableWidget* StringGridStatistic;
    QTableWidget* StringGridMetrology;
    QPushButton* ButtonLimits;
    QPushButton* ButtonClose;

    const TMeasurementStore& store_;
    TUserLimits limits_;
    std::optional<TUserLimits> loggerLevels_;
};

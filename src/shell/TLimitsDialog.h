#pragma once

#include "data/MeasurementLimits.h"

#include <QDialog>

#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Пределы": the four levels the excursions and the reports count against,
// typed with the key rules of the logger's own level fields. "Использовать
// уровни прибора" fills in the critical levels last read from the logger.
// OK keeps the levels only when each is a number and each lower one lies
// below its upper one; otherwise the dialog stays and says why.
class TLimitsDialog : public QDialog {
    Q_OBJECT
public:
    TLimitsDialog(const TUserLimits& limits, const std::optional<TUserLimits>& loggerLevels, QWidget* parent);

    // The levels accepted by OK.
    const TUserLimits& limits() const { return chosen_; }

public slots:
    void accept() override;

private slots:
    void ButtonLoggerLevelsClick();

private:
    void showLimits(const TUserLimits& limits);

    QLineEdit* EditTLimitMin;
    QLineEdit* EditTLimitMax;
    QLineEdit* EditRHLimitMin;
    QLineEdit* EditRHLimitMax;
    QPushButton* ButtonLoggerLevels;
    QLabel* LabelProblem;
    QDialogButtonBox* Buttons;

    std::optional<TUserLimits> loggerLevels_;
    TUserLimits chosen_;
};

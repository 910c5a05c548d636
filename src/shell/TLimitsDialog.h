#pragma once

#include "data/MeasurementLimits.h"

#include <QDialog>

#include <array>
#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Пределы": the six levels the excursions, the reports and the chart's
// limit lines count against, typed with the key rules of the logger's own
// level fields (pressure, like humidity, without a sign). "Использовать
// уровни прибора" fills in the critical levels last read from the logger,
// which keeps none of pressure. OK keeps the levels only when each is a
// number and each lower one lies below its upper one, looked at in the order
// of the fields; otherwise the dialog stays and says why.
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
    // The level fields in their order: temperature, humidity, pressure, each lower one first.
    std::array<QLineEdit*, 6> levelEdits() const;
    // Shows the first `count` levels of `limits` in their fields.
    void showLevels(const TUserLimits& limits, size_t count);

    QLineEdit* EditTLimitMin;
    QLineEdit* EditTLimitMax;
    QLineEdit* EditRHLimitMin;
    QLineEdit* EditRHLimitMax;
    QLineEdit* EditPLimitMin;
    QLineEdit* EditPLimitMax;
    QPushButton* ButtonLoggerLevels;
    QLabel* LabelProblem;
    QDialogButtonBox* Buttons;

    std::optional<TUserLimits> loggerLevels_;
    TUserLimits chosen_;
};

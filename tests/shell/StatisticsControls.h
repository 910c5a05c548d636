#pragma once

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

// The statistics window's controls, found by their object names.
struct StatisticsControls {
    explicit StatisticsControls(const QWidget& statistics)
        : StringGridStatistic(statistics.findChild<QTableWidget*>(QStringLiteral("StringGridStatistic")))
        , StringGridMetrology(statistics.findChild<QTableWidget*>(QStringLiteral("StringGridMetrology")))
        , ButtonLimits(statistics.findChild<QPushButton*>(QStringLiteral("ButtonLimits")))
        , ButtonClose(statistics.findChild<QPushButton*>(QStringLiteral("ButtonClose")))
    {
    }

    QTableWidget* StringGridStatistic;
    QTableWidget* StringGridMetrology;
    QPushButton* ButtonLimits;
    QPushButton* ButtonClose;
};

// The controls of "Пределы...", found by their object names.
struct LimitsDialogControls {
    explicit LimitsDialogControls(const QWidget& dialog)
        : EditTLimitMin(dialog.findChild<QLineEdit*>(QStringLiteral("EditTLimitMin")))
        , EditTLimitMax(dialog.findChild<QLineEdit*>(QStringLiteral("EditTLimitMax")))
        , EditRHLimitMin(dialog.findChild<QLineEdit*>(QStringLiteral("EditRHLimitMin")))
        , EditRHLimitMax(dialog.findChild<QLineEdit*>(QStringLiteral("EditRHLimitMax")))
        , EditPLimitMin(dialog.findChild<QLineEdit*>(QStringLiteral("EditPLimitMin")))
        , EditPLimitMax(dialog.findChild<QLineEdit*>(QStringLiteral("EditPLimitMax")))
        , ButtonLoggerLevels(dialog.findChild<QPushButton*>(QStringLiteral("ButtonLoggerLevels")))
        , LabelProblem(dialog.findChild<QLabel*>(QStringLiteral("LabelProblem")))
        , Buttons(dialog.findChild<QDialogButtonBox*>(QStringLiteral("Buttons")))
    {
    }

    QLineEdit* EditTLimitMin;
    QLineEdit* EditTLimitMax;
    QLineEdit* EditRHLimitMin;
    QLineEdit* EditRHLimitMax;
    QLineEdit* EditPLimitMin;
    QLineEdit* EditPLimitMax;
    QPushButton* ButtonLoggerLevels;
    QLabel* LabelProblem;
    QDialogButtonBox* Buttons;
};

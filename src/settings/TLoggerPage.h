#pragma once

#include "data/MeasurementLimits.h"
#include "settings/TDevicePage.h"

#include <QDateTime>
#include <QList>

#include <functional>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimeEdit;

// The settings window's page "Даталоггер": the logger's clock (the pickers follow
// the PC clock until the user touches one), its recording settings as read from
// it, and the erase of its log memory.
class TLoggerPage : public TDevicePage {
    Q_OBJECT

public:
    explicit TLoggerPage(TLoggerRequests& requests, QWidget* parent = nullptr);

    QList<QWidget*> deviceControls() const;
    // Where TimerDateTimeTimer takes the current local time from.
    void setClockSource(std::function<QDateTime()> clock);

    QLabel* LabelTime;
    QTimeEdit* DateTimePickerTime;
    QLabel* LabelDate;
    QDateEdit* DateTimePickerDate;
    QLabel* LabelInterval;
    QComboBox* ComboBoxLogInterval;
    QLabel* LabelOptionsRec;
    QListWidget* CheckListBoxOptionsRec;
    QLabel* LabelKL;
    QLabel* LabelKLT;
    QLabel* LabelKLRH;
    QLineEdit* EditTLimitMin;
    QLineEdit* EditTLimitMax;
    QLineEdit* EditRHLimitMin;
    QLineEdit* EditRHLimitMax;
    QPushButton* ButtonLogDefault;
    QPushButton* ButtonLogReadAll;
    QPushButton* ButtonLogWriteAll;
    QPushButton* ButtonLogMemErase;

public slots:
    void TimerDateTimeTimer();
    void ShowLogDefaults();
    void ButtonLogDefaultClick() { ShowLogDefaults(); }
    // Each ends with requestFinished, telling whether the logger answered.
    void ButtonLogReadAllClick();
    void ButtonLogWriteAllClick();
    void ButtonLogMemEraseClick();

signals:
    // The user changed or clicked a picker: they stop following the PC clock.
    void pickerTouched();
    // "Прочитать" got the logger's critical levels, in tenths.
    void levelsRead(const TUserLimits& levels);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    // The interval, recording options and levels as read, in register order.
    void showSettings(const QList<qint32>& values);
    void showLevels(const QList<qint32>& levels);

    std::function<QDateTime()> clock_;
};

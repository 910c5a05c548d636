#pragma once

#include "monitor/AlarmSettings.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QDialogButtonBox;
class QSpinBox;

// "Оповещения": whether the monitor raises alarms, after how long a reading
// beyond a limit (or a silent logger) does, how often an alarm nobody
// acknowledged is notified again, and which channels are watched.
class TAlarmDialog : public QDialog {
    Q_OBJECT
public:
    TAlarmDialog(const TAlarmSettings& settings, QWidget* parent);

    // The settings as the dialog shows them.
    TAlarmSettings settings() const;

private:
    QCheckBox* CheckEnabled;
    QSpinBox* SpinDelay;
    QSpinBox* SpinRepeat;
    std::array<QCheckBox*, 3> CheckWatched;
    QDialogButtonBox* Buttons;
};

#pragma once

#include "mail/MailSettings.h"
#include "monitor/AlarmSettings.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QSpinBox;
class TMailSettingsBox;

// "Оповещения": whether the monitor raises alarms, after how long a reading
// beyond a limit (or a silent logger) does, how often an alarm nobody
// acknowledged is notified again, which channels are watched, and the
// e-mail of the alarms. OK keeps the mail's settings (and a password
// entered) only when they can be used; otherwise the dialog stays and says
// why.
class TAlarmDialog : public QDialog {
    Q_OBJECT
public:
    explicit TAlarmDialog(QWidget* parent);

    void load(const TAlarmSettings& settings, const TMailSettings& mail);
    // The settings as the dialog shows them.
    TAlarmSettings settings() const;

public slots:
    void accept() override;

signals:
    void passwordNotStored(const QString& reason);

private:
    QCheckBox* CheckEnabled;
    QSpinBox* SpinDelay;
    QSpinBox* SpinRepeat;
    std::array<QCheckBox*, 3> CheckWatched;
    TMailSettingsBox* MailBox;
    QLabel* LabelProblem;
    QDialogButtonBox* Buttons;
};

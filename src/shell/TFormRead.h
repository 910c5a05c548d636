#pragma once

#include "monitor/TLivePoll.h"

#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;
class TAlarmDialog;
class TAlarmGuard;
class TChart;
class TLiveMonitor;
class TLoggerConnection;
class TMonitorStatusLine;
class TTagButton;
class TUserDialogs;
class TUserLimitsHolder;

// The monitor window: the program's main window with the live chart, the
// logger button that opens the data viewer and the start/stop button. Once
// started it watches until "Стоп", whatever else the program does: the
// logger's requests queue the poll between the others', and a lost logger is
// polled on, to raise the alarm of a silent one and to go on when it is back.
class TFormRead : public QWidget {
    Q_OBJECT
public:
    static constexpr int TestModeTag = 788;

    // limits: the limits in use, which the live readings are held against.
    TFormRead(TLoggerConnection& connection, const TUserLimitsHolder& limits, TUserDialogs& dialogs,
              QWidget* parent = nullptr);

    const TUserLimitsHolder& userLimits() const { return limits_; }
    TAlarmGuard& alarms() { return *alarms_; }
    // Tells on the monitor's line what went wrong with its own work (its
    // record of the readings), in red until the logger's state next changes.
    void showProblem(const QString& message);
    // What dates the readings, acknowledgements and stops: the wall clock, or a test's virtual one.
    void setClock(const std::function<QDateTime()>& clock);

signals:
    // The logger button: the data viewer is to be shown.
    void viewerRequested();
    // The monitor is closing, and the program with it.
    void closing();
    // Items of the monitor's menu: a saved log to open, the settings window to show.
    void openFileRequested();
    void settingsRequested();
    // Each poll cycle's end, with what the logger measured (nothing when it did not answer).
    void measured(const TLiveMeasurement& measurement);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void ButtonRegClick();
    void ButtonStartMonClick();
    void ButtonAcknowledgeClick();
    void showAlarmSettings();

private:
    void FormResize();
    void buildMenu();
    void showConnected();
    void showLost();
    void showTestMode(bool on);
    void stopMonitor();
    bool running() const;
    void showAlarms();
    // Slots of ChannelSlot: temperature, humidity, pressure.
    void showAlarmingChannels(const std::array<bool, 3>& alarming);
    // A new alarm: the window comes to the front and its taskbar entry asks for attention.
    void bringForward();

    TChart* ChartRead;
    QLabel* Label1;
    QLabel* Label2;
    TTagButton* ButtonReg;
    QPushButton* ButtonStartMon;
    QTimer* Timer2;
    TLiveMonitor* monitor_;
    // The everyday ways out of the monitor, with or without a logger: on the
    // "Меню" button and on the window's context menu.
    QToolButton* ButtonMenu;
    QMenu* MenuMonitor;
    TMonitorStatusLine* StatusLine;
    QPushButton* ButtonAcknowledge;
    TAlarmGuard* alarms_;
    TAlarmDialog* alarmDialog_ = nullptr;
    bool loggerPresent_ = false;

    const TUserLimitsHolder& limits_;
    TUserDialogs& dialogs_;
};

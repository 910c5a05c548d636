#pragma once

#include "monitor/TLivePoll.h"

#include <QWidget>

class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;
class TChart;
class TLiveMonitor;
class TLoggerConnection;
class TMonitorStatusLine;
class TTagButton;
class TUserLimitsHolder;

// The monitor window: the program's main window with the live chart, the
// logger button that opens the data viewer and the start/stop button.
class TFormRead : public QWidget {
    Q_OBJECT
public:
    static constexpr int TestModeTag = 788;

    // limits: the limits in use, which the live readings are held against.
    TFormRead(TLoggerConnection& connection, const TUserLimitsHolder& limits, QWidget* parent = nullptr);

    const TUserLimitsHolder& userLimits() const { return limits_; }

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

private:
    void FormResize();
    void buildMenu();
    void showConnected();
    void showLost();
    void showTestMode(bool on);
    void stopMonitor();

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

    const TUserLimitsHolder& limits_;
};

#pragma once

#include "chart/TChart.h"
#include "monitor/TLiveMonitor.h"
#include "shell/TTagButton.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

// The monitor window's controls, found by their object names.
struct MonitorControls {
    explicit MonitorControls(const QWidget& monitor)
        : ChartRead(monitor.findChild<TChart*>(QStringLiteral("ChartRead")))
        , Label1(monitor.findChild<QLabel*>(QStringLiteral("Label1")))
        , Label2(monitor.findChild<QLabel*>(QStringLiteral("Label2")))
        , ButtonReg(monitor.findChild<TTagButton*>(QStringLiteral("ButtonReg")))
        , ButtonStartMon(monitor.findChild<QPushButton*>(QStringLiteral("ButtonStartMon")))
    {
    }

    TChart* ChartRead;
    QLabel* Label1;
    QLabel* Label2;
    TTagButton* ButtonReg;
    QPushButton* ButtonStartMon;
};

// The monitor window's live poll and the timer that runs it.
inline TLiveMonitor& LiveMonitorOf(const QWidget& monitor)
{
    return *monitor.findChild<TLiveMonitor*>(QStringLiteral("Monitor"));
}

inline QTimer* PollTimerOf(const QWidget& monitor)
{
    return monitor.findChild<QTimer*>(QStringLiteral("Timer2"));
}

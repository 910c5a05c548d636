#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

// The program run as a user would run it, with no display to open a window on.
struct ProgramRun {
    int exitCode;
    QString output;
    QString errors;
};

// The program started as korviMonitor() runs it, for a test that acts while it runs.
inline void startKorviMonitor(QProcess& process, const QStringList& arguments, const QProcessEnvironment& extra = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(extra);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KORVI_MONITOR_PATH), arguments);
}

inline ProgramRun korviMonitor(const QStringList& arguments, const QProcessEnvironment& extra = {})
{
    QProcess process;
    startKorviMonitor(process, arguments, extra);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

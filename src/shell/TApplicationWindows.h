#pragma once

#include "shell/TPlatform.h"

#include <QString>

#include <memory>

class TFormMain;
class TFormRead;
class TFormSetting;
class TFormStatistic;
class TLogFileActions;
class TLoggerConnection;
class TReportActions;

// The logger connection and the program's four windows, created once in
// their fixed order, wired to each other here and kept until the program
// ends; only the monitor window is shown.
class TApplicationWindows {
public:
    explicit TApplicationWindows(TPlatform platform);
    ~TApplicationWindows();

    void showMainWindow();
    // Shows the data viewer with the saved log at `path`, or the reason it cannot.
    void openLog(const QString& path);

    std::unique_ptr<VolumeSource> Volumes;
    std::unique_ptr<TUserDialogs> Dialogs;
    std::unique_ptr<TLoggerConnection> Connection;
    std::unique_ptr<TFormRead> FormRead;
    std::unique_ptr<TFormSetting> FormSetting;
    std::unique_ptr<TFormMain> FormMain;
    std::unique_ptr<TFormStatistic> FormStatistic;
    TLogFileActions* LogFiles;
    TReportActions* Reports;

private:
    void wireWindows();
};

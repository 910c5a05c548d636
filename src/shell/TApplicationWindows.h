#pragma once

#include "shell/TPlatform.h"

#include <QString>

#include <memory>

class TFormMain;
class TFormRead;
class TFormSetting;
class TFormStatistic;
class TLiveMonitor;
class TLogFileActions;
class TReportActions;

// The program's four windows, created once in their fixed order and kept
// until the program ends; only the monitor window is shown.
class TApplicationWindows {
public:
    explicit TApplicationWindows(TPlatform platform);
    ~TApplicationWindows();

    void ShowMainWindow();
    // The drive label of the logger last detected (or of the test mode), as files name it.
    QString DeviceLabel() const;

    std::unique_ptr<VolumeSource> Volumes;
    std::unique_ptr<TUserDialogs> Dialogs;
    std::unique_ptr<TFormRead> FormRead;
    std::unique_ptr<TFormSetting> FormSetting;
    std::unique_ptr<TFormMain> FormMain;
    std::unique_ptr<TFormStatistic> FormStatistic;
    std::unique_ptr<TLiveMonitor> Monitor;
    TLogFileActions* LogFiles;
    TReportActions* Reports;
};

#pragma once

#include "shell/TPlatform.h"

#include <QString>

#include <memory>

class QAction;
class TArchiveKeeper;
class TArchiveWindow;
class TFormMain;
class TFormRead;
class TFormSetting;
class TFormStatistic;
class TLogFileActions;
class TLoggerConnection;
class TReportActions;

// The logger connection and the program's four windows, created once in
// their fixed order, wired to each other here and kept until the program
// ends; only the monitor window is shown. With an archive, every log read
// is kept in it and "Архив..." lists what it holds.
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
    // Null without an archive.
    std::unique_ptr<TArchiveKeeper> Archive;
    std::unique_ptr<TArchiveWindow> FormArchive;
    QAction* N1_4Archive;

private:
    void wireWindows();
    void wireArchive(const std::optional<TArchiveLocation>& location, const QString& unavailable);
    void archiveLogsRead();
};

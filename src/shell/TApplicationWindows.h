#pragma once

#include "shell/TPlatform.h"

#include <QString>

#include <chrono>
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
class TMonitorRecord;
class TReportActions;
class TUserLimitsHolder;

// The logger connection, the limits in use and the program's four windows,
// created once in their fixed order, wired to each other here and kept
// until the program ends; only the monitor window is shown. With an archive, every log read
// is kept in it and "Архив..." lists what it holds.
class TApplicationWindows {
public:
    explicit TApplicationWindows(TPlatform platform);
    ~TApplicationWindows();

    void showMainWindow();
    // Shows the data viewer with the saved log at `path`, or the reason it
    // cannot, once its load ended.
    void openLog(const QString& path);
    // Once the windows are closed: the archive's last logs get `grace` to be
    // stored; empty when they were, else the line naming those that were not.
    QString finishArchiving(std::chrono::milliseconds grace);

    std::unique_ptr<VolumeSource> volumes_;
    std::unique_ptr<TUserDialogs> dialogs_;
    std::unique_ptr<TLoggerConnection> connection_;
    // Read by the windows and the reports, set in the statistics window's "Пределы...".
    std::unique_ptr<TUserLimitsHolder> limits_;
    std::unique_ptr<TFormRead> formRead_;
    std::unique_ptr<TFormSetting> formSetting_;
    std::unique_ptr<TFormMain> formMain_;
    std::unique_ptr<TFormStatistic> formStatistic_;
    TLogFileActions* logFiles_;
    TReportActions* reports_;
    // Null without an archive.
    std::unique_ptr<TArchiveKeeper> archive_;
    std::unique_ptr<TArchiveWindow> formArchive_;
    QAction* archiveItem;
    // What the monitor watched, as the PC's own log of each logger and day.
    TMonitorRecord* monitorRecord_ = nullptr;

private:
    void wireWindows();
    void wireArchive(const std::optional<TArchiveLocation>& location, const QString& unavailable);
    void archiveLogsRead();
    void noteInTrail();
    void wireMonitorRecord();
};

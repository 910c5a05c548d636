#include "shell/TApplicationWindows.h"

#include "archive/TArchiveKeeper.h"
#include "archive/TMonitorDayKeeper.h"
#include "data/SourceList.h"
#include "data/UserLimitsHolder.h"
#include "data/UserLimitsSettings.h"
#include "monitor/TMonitorRecord.h"
#include "reports/Statistics.h"
#include "shell/TAlarmGuard.h"
#include "shell/TArchiveWindow.h"
#include "shell/TFormMain.h"
#include "shell/TFormRead.h"
#include "shell/TFormSetting.h"
#include "shell/TFormStatistic.h"
#include "shell/TLogFileActions.h"
#include "shell/TLoggerConnection.h"
#include "shell/TReportActions.h"
#include "text/FormatLocale.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace {

TArchiveEventKind eventKindOf(TLoggerChange change)
{
    switch (change) {
    case TLoggerChange::Number:
        return TArchiveEventKind::LoggerNumber;
    case TLoggerChange::Calibration:
        return TArchiveEventKind::LoggerCalibration;
    case TLoggerChange::Clock:
        return TArchiveEventKind::LoggerClock;
    case TLoggerChange::WiFi:
        return TArchiveEventKind::LoggerWiFi;
    case TLoggerChange::Erase:
        break;
    }
    return TArchiveEventKind::LoggerErase;
}

TArchiveEventKind eventKindOf(TAlarmNoticeKind notice)
{
    switch (notice) {
    case TAlarmNoticeKind::Start:
        return TArchiveEventKind::AlarmStart;
    case TAlarmNoticeKind::Repeat:
        return TArchiveEventKind::AlarmRepeat;
    case TAlarmNoticeKind::Acknowledge:
        return TArchiveEventKind::AlarmAcknowledge;
    case TAlarmNoticeKind::End:
        break;
    }
    return TArchiveEventKind::AlarmEnd;
}

} // namespace

TApplicationWindows::TApplicationWindows(TPlatform platform)
    : volumes_(std::move(platform.volumes))
    , dialogs_(std::move(platform.dialogs))
    , connection_(std::make_unique<TLoggerConnection>(std::move(platform.hid)))
    , limits_(std::make_unique<TUserLimitsHolder>(StoredUserLimits(*ProgramSettings())))
    , formRead_(std::make_unique<TFormRead>(*connection_, *limits_, *dialogs_))
    , formSetting_(std::make_unique<TFormSetting>(*connection_, formRead_.get()))
    , formMain_(std::make_unique<TFormMain>(*connection_, *volumes_, *limits_))
    , formStatistic_(std::make_unique<TFormStatistic>(formRead_.get(), formMain_->store(), *limits_))
    , logFiles_(new TLogFileActions(*formMain_, *dialogs_, [this] { return formMain_->shownLogLabel(); }))
    , reports_(new TReportActions(*formMain_, *dialogs_, *limits_, [this] { return formMain_->shownLogLabel(); }))
    , archiveItem(formMain_->addSourceMenuAction(QStringLiteral("Архив...")))
{
    wireWindows();
    wireArchive(platform.archive, platform.archiveUnavailable);
    wireMonitorRecord();
    // Detection starts once every window listens to the connection.
    connection_->start();
}

// The secondary windows go first: they may still refer to the monitor.
TApplicationWindows::~TApplicationWindows()
{
    archive_.reset(); // stores what is still queued while the windows stand
    formArchive_.reset();
    formStatistic_.reset();
    formMain_.reset();
    formSetting_.reset();
    formRead_.reset();
}

void TApplicationWindows::wireWindows()
{
    QObject::connect(formRead_.get(), &TFormRead::viewerRequested, formMain_.get(), &TFormMain::showInFront);
    QObject::connect(formRead_.get(), &TFormRead::closing, formMain_.get(), &QWidget::close);
    QObject::connect(formRead_.get(), &TFormRead::openFileRequested, formMain_.get(), [this] {
        formMain_->showInFront();
        logFiles_->chooseLogFile();
    });
    QObject::connect(formRead_.get(), &TFormRead::settingsRequested, formSetting_.get(), [this] {
        formSetting_->show();
        formSetting_->raise();
        formSetting_->activateWindow();
    });
    QObject::connect(formMain_.get(), &TFormMain::settingsToggled, formSetting_.get(),
                     [this] { formSetting_->setVisible(!formSetting_->isVisible()); });
    QObject::connect(formMain_.get(), &TFormMain::servicePagesKeyPressed, formSetting_.get(),
                     &TFormSetting::toggleServicePages);
    // The erase question's "Сначала прочитать" is the viewer's load from the logger.
    QObject::connect(formSetting_.get(), &TFormSetting::loggerLogReadRequested, formMain_.get(), [this] {
        formMain_->showInFront();
        formMain_->BeginLoad();
    });
    QObject::connect(formMain_.get(), &TFormMain::statisticsToggled, formStatistic_.get(),
                     [this] { formStatistic_->setVisible(!formStatistic_->isVisible()); });
    // The logger's critical levels are offered in "Пределы..." and stand in until the user chooses limits.
    QObject::connect(formSetting_.get(), &TFormSetting::loggerLevelsRead, limits_.get(),
                     &TUserLimitsHolder::offerLoggerLevels);
    // An open statistics window follows the shown source at once.
    QObject::connect(formMain_.get(), &TFormMain::shownSourceChanged, formStatistic_.get(), [this] {
        if (formStatistic_->isVisible())
            formStatistic_->ComputeStatistics();
    });
}

void TApplicationWindows::wireArchive(const std::optional<TArchiveLocation>& location, const QString& unavailable)
{
    archiveItem->setObjectName(QStringLiteral("ArchiveItem"));
    archiveItem->setEnabled(location.has_value());
    if (!location) {
        if (!unavailable.isEmpty())
            formMain_->showStatus(unavailable);
        return;
    }
    archive_ = std::make_unique<TArchiveKeeper>(*location);
    formArchive_ = std::make_unique<TArchiveWindow>(*location, *dialogs_, formMain_.get());
    // Loads go on without the archive; the viewer tells why once.
    QObject::connect(archive_.get(), &TArchiveKeeper::unavailable, formMain_.get(), &TFormMain::showStatus);
    QObject::connect(archive_.get(), &TArchiveKeeper::failed, formMain_.get(), &TFormMain::showStatus);
    // Said again after every change, so that a load's own status does not hide it for long.
    QObject::connect(archive_.get(), &TArchiveKeeper::waitingChanged, formMain_.get(),
                     [this](int logs, int notes, const QString& reason) {
                         formMain_->showStatus(ArchiveWaitingText(logs, notes, reason));
                     });
    QObject::connect(archive_.get(), &TArchiveKeeper::unavailable, formArchive_.get(),
                     &TArchiveWindow::archiveUnavailable);
    QObject::connect(archive_.get(), &TArchiveKeeper::opened, formArchive_.get(), &TArchiveWindow::archiveOpened);
    QObject::connect(archive_.get(), &TArchiveKeeper::kept, formArchive_.get(), &TArchiveWindow::archiveChanged);
    formSetting_->useArchive();
    QObject::connect(archive_.get(), &TArchiveKeeper::kept, formSetting_.get(), [this](qint64, bool, const QString& label) {
        formSetting_->noteNewestKept(label, QDateTime::currentDateTime());
    });
    QObject::connect(archive_.get(), &TArchiveKeeper::latestFound, formSetting_.get(), &TFormSetting::noteNewestKept);
    // The erase question can then tell at once whether the logger's log is kept.
    QObject::connect(connection_.get(), &TLoggerConnection::detected, archive_.get(),
                     [this] { archive_->findLatest(connection_->deviceLabel()); });
    QObject::connect(formMain_.get(), &TFormMain::logsRead, formMain_.get(), [this] { archiveLogsRead(); });
    noteInTrail();
    QObject::connect(archiveItem, &QAction::triggered, formArchive_.get(), &TArchiveWindow::showArchive);
    QObject::connect(formArchive_.get(), &TArchiveWindow::openRequested, formMain_.get(),
                     [this](const QString& label, const QByteArray& raw) {
                         formMain_->showInFront();
                         formMain_->openArchivedLog(label, raw, formMain_.get(), [this](const QString& failure) {
                             if (!failure.isEmpty())
                                 dialogs_->showError(formMain_.get(), failure);
                         });
                     });
}

// What the user does with a log, a logger or the limits, each noted once it
// was done, and what became of each alarm.
void TApplicationWindows::noteInTrail()
{
    QObject::connect(formMain_.get(), &TFormMain::logExported, archive_.get(),
                     [this](const QByteArray& raw, const QString& label, const QString& detail) {
                         archive_->noteLog(raw, label, TArchiveEventKind::Export, detail);
                     });
    QObject::connect(formSetting_.get(), &TFormSetting::loggerWritten, archive_.get(),
                     [this](const QString& label, TLoggerChange change, const QString& detail) {
                         archive_->noteLogger(label, eventKindOf(change), detail);
                     });
    QObject::connect(formStatistic_.get(), &TFormStatistic::limitsChosen, archive_.get(),
                     [this](const TUserLimits& before, const TUserLimits& after) {
                         archive_->noteLogger(QString(), TArchiveEventKind::LimitsChange,
                                              LimitsChangeText(before, after, FormatLocale()));
                     });
    QObject::connect(&formRead_->alarms(), &TAlarmGuard::noted, archive_.get(),
                     [this](const QString& label, TAlarmNoticeKind kind, const QString& detail) {
                         archive_->noteLogger(label, eventKindOf(kind), detail);
                     });
    QObject::connect(&formRead_->alarms(), &TAlarmGuard::noticeFailed, archive_.get(),
                     [this](const QString& label, const QString& reason) {
                         archive_->noteLogger(label, TArchiveEventKind::AlarmNoticeFailure, reason);
                     });
}

// Every source the load read with a row, under its drive's label or, opened
// from a file, the file's name: an erased logger's empty log is not kept.
void TApplicationWindows::archiveLogsRead()
{
    for (const TLoadedSource& source : formMain_->sources().loadedSources()) {
        if (!source.records || source.records->isEmpty())
            continue;
        const QString label = source.source.volume.label.isEmpty() ? QFileInfo(source.source.filePath).fileName()
                                                                   : source.source.volume.label;
        archive_->keep(label, source.raw.bytes(), QDir::toNativeSeparators(source.source.filePath));
    }
}

// The monitor's readings go into the record under the logger's label; the
// days over, found at start or ended since, go into the archive, if any.
void TApplicationWindows::wireMonitorRecord()
{
    monitorRecord_ = new TMonitorRecord(TMonitorRecord::defaultFolder(), formRead_.get());
    QObject::connect(formRead_.get(), &TFormRead::measured, monitorRecord_,
                     [this](const TLiveMeasurement& measurement) {
                         monitorRecord_->take(connection_->deviceLabel(), measurement);
                     });
    QObject::connect(monitorRecord_, &TMonitorRecord::failed, formMain_.get(), &TFormMain::showStatus);
    QObject::connect(monitorRecord_, &TMonitorRecord::failed, formRead_.get(), &TFormRead::showProblem);
    if (!archive_)
        return;
    auto* days = new TMonitorDayKeeper(*archive_, archive_.get());
    QObject::connect(days, &TMonitorDayKeeper::failed, formMain_.get(), &TFormMain::showStatus);
    QObject::connect(monitorRecord_, &TMonitorRecord::dayEnded, days, &TMonitorDayKeeper::store);
    for (const TRecordedDay& day : monitorRecord_->daysBefore(QDate::currentDate()))
        days->store(day.label, day.path);
}

void TApplicationWindows::showMainWindow()
{
    formRead_->show();
}

QString TApplicationWindows::finishArchiving(std::chrono::milliseconds grace)
{
    return archive_ ? archive_->finish(grace) : QString();
}

void TApplicationWindows::openLog(const QString& path)
{
    formMain_->showInFront();
    logFiles_->openLog(path);
}

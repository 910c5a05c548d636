#include "shell/TApplicationWindows.h"

#include "archive/TArchiveKeeper.h"
#include "data/SourceList.h"
#include "shell/TArchiveWindow.h"
#include "shell/TFormMain.h"
#include "shell/TFormRead.h"
#include "shell/TFormSetting.h"
#include "shell/TFormStatistic.h"
#include "shell/TLogFileActions.h"
#include "shell/TLoggerConnection.h"
#include "shell/TReportActions.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

TApplicationWindows::TApplicationWindows(TPlatform platform)
    : Volumes(std::move(platform.volumes))
    , Dialogs(std::move(platform.dialogs))
    , Connection(std::make_unique<TLoggerConnection>(std::move(platform.hid)))
    , FormRead(std::make_unique<TFormRead>(*Connection))
    , FormSetting(std::make_unique<TFormSetting>(*Connection, FormRead.get()))
    , FormMain(std::make_unique<TFormMain>(*Connection, *Volumes))
    , FormStatistic(std::make_unique<TFormStatistic>(FormRead.get(), FormMain->Store()))
    , LogFiles(new TLogFileActions(*FormMain, *Dialogs, [this] { return FormMain->ShownLogLabel(); }))
    , Reports(new TReportActions(*FormMain, *Dialogs, [this] { return FormMain->ShownLogLabel(); }))
    , N1_4Archive(FormMain->addSourceMenuAction(QStringLiteral("Архив...")))
{
    wireWindows();
    wireArchive(platform.archive, platform.archiveUnavailable);
    // Detection starts once every window listens to the connection.
    Connection->start();
}

// The secondary windows go first: they may still refer to the monitor.
TApplicationWindows::~TApplicationWindows()
{
    Archive.reset(); // stores what is still queued while the windows stand
    FormArchive.reset();
    FormStatistic.reset();
    FormMain.reset();
    FormSetting.reset();
    FormRead.reset();
}

void TApplicationWindows::wireWindows()
{
    QObject::connect(FormRead.get(), &TFormRead::viewerRequested, FormMain.get(), &TFormMain::showInFront);
    QObject::connect(FormRead.get(), &TFormRead::closing, FormMain.get(), &QWidget::close);
    QObject::connect(FormRead.get(), &TFormRead::openFileRequested, FormMain.get(), [this] {
        FormMain->showInFront();
        LogFiles->N1_3OpenClick();
    });
    QObject::connect(FormRead.get(), &TFormRead::settingsRequested, FormSetting.get(), [this] {
        FormSetting->show();
        FormSetting->raise();
        FormSetting->activateWindow();
    });
    QObject::connect(FormMain.get(), &TFormMain::settingsToggled, FormSetting.get(),
                     [this] { FormSetting->setVisible(!FormSetting->isVisible()); });
    QObject::connect(FormMain.get(), &TFormMain::servicePagesKeyPressed, FormSetting.get(),
                     &TFormSetting::toggleServicePages);
    QObject::connect(FormMain.get(), &TFormMain::statisticsToggled, FormStatistic.get(),
                     [this] { FormStatistic->setVisible(!FormStatistic->isVisible()); });
    // The logger's critical levels are offered as limits; the chosen limits go into the reports.
    QObject::connect(FormSetting.get(), &TFormSetting::loggerLevelsRead, FormStatistic.get(),
                     &TFormStatistic::offerLoggerLevels);
    Reports->setLimits(FormStatistic->limits());
    QObject::connect(FormStatistic.get(), &TFormStatistic::limitsChanged, Reports, &TReportActions::setLimits);
    // An open statistics window follows the shown source at once.
    QObject::connect(FormMain.get(), &TFormMain::shownSourceChanged, FormStatistic.get(), [this] {
        if (FormStatistic->isVisible())
            FormStatistic->ComputeStatistics();
    });
}

void TApplicationWindows::wireArchive(const std::optional<TArchiveLocation>& location, const QString& unavailable)
{
    N1_4Archive->setObjectName(QStringLiteral("N1_4Archive"));
    N1_4Archive->setEnabled(location.has_value());
    if (!location) {
        if (!unavailable.isEmpty())
            FormMain->showStatus(unavailable);
        return;
    }
    Archive = std::make_unique<TArchiveKeeper>(*location);
    FormArchive = std::make_unique<TArchiveWindow>(*location, *Dialogs, FormMain.get());
    // Loads go on without the archive; the viewer tells why once.
    QObject::connect(Archive.get(), &TArchiveKeeper::unavailable, FormMain.get(), &TFormMain::showStatus);
    QObject::connect(Archive.get(), &TArchiveKeeper::failed, FormMain.get(), [this](const QString& reason) {
        FormMain->showStatus(QStringLiteral("Журнал не помещён в архив: ") + reason);
    });
    QObject::connect(Archive.get(), &TArchiveKeeper::unavailable, FormArchive.get(),
                     &TArchiveWindow::archiveUnavailable);
    QObject::connect(Archive.get(), &TArchiveKeeper::opened, FormArchive.get(), &TArchiveWindow::archiveOpened);
    QObject::connect(Archive.get(), &TArchiveKeeper::kept, FormArchive.get(), &TArchiveWindow::archiveChanged);
    QObject::connect(FormMain.get(), &TFormMain::logsRead, FormMain.get(), [this] { archiveLogsRead(); });
    QObject::connect(N1_4Archive, &QAction::triggered, FormArchive.get(), &TArchiveWindow::showArchive);
    QObject::connect(FormArchive.get(), &TArchiveWindow::openRequested, FormMain.get(),
                     [this](const QString& label, const QByteArray& raw) {
                         QString failure;
                         FormMain->showInFront();
                         if (!FormMain->OpenArchivedLog(label, raw, &failure))
                             Dialogs->ShowError(FormMain.get(), failure);
                     });
}

// Every source the load read, under its drive's label or, opened from a
// file, the file's name.
void TApplicationWindows::archiveLogsRead()
{
    for (const TLoadedSource& source : FormMain->Sources().loadedSources()) {
        if (!source.records)
            continue;
        const QString label = source.source.volume.label.isEmpty() ? QFileInfo(source.source.filePath).fileName()
                                                                   : source.source.volume.label;
        const QByteArray raw(reinterpret_cast<const char*>(source.rawRecords.data()),
                             qsizetype(source.rawRecords.size() * sizeof(TLogRecord)));
        Archive->keep(label, raw, QDir::toNativeSeparators(source.source.filePath));
    }
}

void TApplicationWindows::showMainWindow()
{
    FormRead->show();
}

void TApplicationWindows::openLog(const QString& path)
{
    FormMain->showInFront();
    LogFiles->OpenLog(path);
}

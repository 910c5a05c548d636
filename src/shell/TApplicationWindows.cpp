#include "shell/TApplicationWindows.h"

#include "shell/TFormMain.h"
#include "shell/TFormRead.h"
#include "shell/TFormSetting.h"
#include "shell/TFormStatistic.h"
#include "shell/TLogFileActions.h"
#include "shell/TLoggerConnection.h"
#include "shell/TReportActions.h"

TApplicationWindows::TApplicationWindows(TPlatform platform)
    : Volumes(std::move(platform.volumes))
    , Dialogs(std::move(platform.dialogs))
    , Connection(std::make_unique<TLoggerConnection>(std::move(platform.hid)))
    , FormRead(std::make_unique<TFormRead>(*Connection))
    , FormSetting(std::make_unique<TFormSetting>(*Connection, FormRead.get()))
    , FormMain(std::make_unique<TFormMain>(*Connection, *Volumes))
    , FormStatistic(std::make_unique<TFormStatistic>(FormRead.get(), FormMain->Store()))
    , LogFiles(new TLogFileActions(*FormMain, *Dialogs, [this] { return Connection->deviceLabel(); }))
    , Reports(new TReportActions(*FormMain, *Dialogs, [this] { return Connection->deviceLabel(); }))
{
    wireWindows();
    // Detection starts once every window listens to the connection.
    Connection->start();
}

// The secondary windows go first: they may still refer to the monitor.
TApplicationWindows::~TApplicationWindows()
{
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
    // An open statistics window follows the shown source at once.
    QObject::connect(FormMain.get(), &TFormMain::shownSourceChanged, FormStatistic.get(), [this] {
        if (FormStatistic->isVisible())
            FormStatistic->ComputeStatistics();
    });
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

#include "shell/TApplicationWindows.h"

#include "data/MeasurementStore.h"
#include "device/TDeviceLink.h"
#include "monitor/TLiveMonitor.h"
#include "settings/TGeneralPage.h"
#include "shell/TFormMain.h"
#include "shell/TFormRead.h"
#include "shell/TFormSetting.h"
#include "shell/TFormStatistic.h"
#include "shell/TLogFileActions.h"
#include "shell/TReportActions.h"

TApplicationWindows::TApplicationWindows(TPlatform platform)
    : Volumes(std::move(platform.volumes))
    , Dialogs(std::move(platform.dialogs))
    , FormRead(std::make_unique<TFormRead>())
    , FormSetting(std::make_unique<TFormSetting>(FormRead.get(), std::move(platform.hid)))
    , FormMain(std::make_unique<TFormMain>(*Volumes))
    , FormStatistic(std::make_unique<TFormStatistic>(FormRead.get(), FormMain->Store()))
    , Monitor(std::make_unique<TLiveMonitor>(FormSetting->Link(), *FormSetting->Timer2, *FormRead->ChartRead,
                                             *FormRead->Label1, *FormRead->Label2))
    , LogFiles(new TLogFileActions(*FormMain, *Dialogs, [this] { return DeviceLabel(); }))
    , Reports(new TReportActions(*FormMain, *Dialogs, [this] { return DeviceLabel(); }))
{
    FormRead->Attach(FormSetting.get(), FormMain.get());
    FormMain->Attach(FormRead.get(), FormSetting.get(), FormStatistic.get());
    FormSetting->SetLimitSeriesHook([this](bool shown) { FormMain->ShowLimitSeries(shown); });
    QObject::connect(FormSetting->GeneralPage, &TGeneralPage::recordCountRead, FormMain.get(),
                     [this](qint64 count) { FormMain->Store().setRecordCount(count); });
}

// The secondary windows go first: they may still refer to the monitor.
TApplicationWindows::~TApplicationWindows()
{
    Monitor.reset();
    FormStatistic.reset();
    FormMain.reset();
    FormSetting.reset();
    FormRead.reset();
}

QString TApplicationWindows::DeviceLabel() const
{
    return FormSetting->Link().Identity().ExpectedLabel;
}

void TApplicationWindows::ShowMainWindow()
{
    FormRead->show();
}

#include "shell/TApplicationWindows.h"

#include "device/HidBackend.h"
#include "shell/TFormMain.h"
#include "shell/TFormRead.h"
#include "shell/TFormSetting.h"
#include "shell/TFormStatistic.h"

TApplicationWindows::TApplicationWindows(std::unique_ptr<HidBackend> backend)
    : FormRead(std::make_unique<TFormRead>())
    , FormSetting(std::make_unique<TFormSetting>(FormRead.get(), std::move(backend)))
    , FormMain(std::make_unique<TFormMain>())
    , FormStatistic(std::make_unique<TFormStatistic>(FormRead.get()))
{
    FormRead->Attach(FormSetting.get(), FormMain.get());
    FormMain->Attach(FormRead.get(), FormSetting.get(), FormStatistic.get());
    FormSetting->SetLimitSeriesHook([this](bool shown) { FormMain->ShowLimitSeries(shown); });
}

// The secondary windows go first: they may still refer to the monitor.
TApplicationWindows::~TApplicationWindows()
{
    FormStatistic.reset();
    FormMain.reset();
    FormSetting.reset();
    FormRead.reset();
}

void TApplicationWindows::ShowMainWindow()
{
    FormRead->show();
}

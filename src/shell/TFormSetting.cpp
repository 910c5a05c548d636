#include "shell/TFormSetting.h"

#include "device/TDeviceLink.h"
#include "settings/CalibrationTables.h"
#include "settings/TCalibrationPage.h"
#include "settings/TGeneralPage.h"
#include "settings/TLoggerPage.h"
#include "settings/TWiFiPage.h"
#include "shell/TFormRead.h"
#include "shell/TTagButton.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Loggers from this series on carry the critical-level lines on their charts.
constexpr int LastSeriesWithoutLimits = 23;

// Lays a page class out over the whole of its tab sheet.
template <typename Page>
Page* fillSheet(QWidget* sheet, Page* page)
{
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);
    return page;
}

}  // namespace

TFormSetting::TFormSetting(TFormRead* formRead, std::unique_ptr<HidBackend> backend)
    : TToolWindow(formRead, QStringLiteral("Настройки"), QSize(371, 447))
    , PageControl(new QTabWidget(this))
    , ListBox1(new QListWidget(this))
    , Timer1(new QTimer(this))
    , Timer2(new QTimer(this))
    , TimerDateTime(new QTimer(this))
    , FormRead(formRead)
    , DeviceLink(std::make_unique<TDeviceLink>(std::move(backend)))
{
    setObjectName(QStringLiteral("FormSetting"));

    PageControl->setObjectName(QStringLiteral("PageControl"));
    TabSheet1 = addPage(QStringLiteral("TabSheet1"), QStringLiteral("Даталоггер"));
    TabSheet2 = addPage(QStringLiteral("TabSheet2"), QStringLiteral("Wi-Fi"));
    TabSheet3 = addPage(QStringLiteral("TabSheet3"), QStringLiteral("Обшие"));
    TabSheet4 = addPage(QStringLiteral("TabSheet4"), QStringLiteral("Температура"));
    TabSheet5 = addPage(QStringLiteral("TabSheet5"), QStringLiteral("Влажность"));
    TabSheet6 = addPage(QStringLiteral("TabSheet6"), QStringLiteral("Давление"));

    LoggerPage = fillSheet(TabSheet1, new TLoggerPage(*DeviceLink));
    WiFiPage = fillSheet(TabSheet2, new TWiFiPage(*DeviceLink));
    GeneralPage = new TGeneralPage(*DeviceLink, TabSheet3);
    TempPage = fillSheet(TabSheet4, new TCalibrationPage(TempPageTable(), *DeviceLink));
    HumiPage = fillSheet(TabSheet5, new TCalibrationPage(HumiPageTable(), *DeviceLink));
    PressPage = fillSheet(TabSheet6, new TCalibrationPage(PressPageTable(), *DeviceLink));

    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Журнал событий"));
    connect(DeviceLink.get(), &TDeviceLink::statusLogged, this, &TFormSetting::AppendStatusLine);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(PageControl, 3);
    layout->addWidget(ListBox1, 1);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TFormSetting::Timer1Timer);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    TimerDateTime->setObjectName(QStringLiteral("TimerDateTime"));
    TimerDateTime->setInterval(DateTimePeriodMs);
    connect(TimerDateTime, &QTimer::timeout, LoggerPage, &TLoggerPage::TimerDateTimeTimer);
    // Once the user has touched a picker, it keeps what the user set.
    connect(LoggerPage, &TLoggerPage::pickerTouched, TimerDateTime, &QTimer::stop);

    FormCreate();
}

TFormSetting::~TFormSetting() = default;

void TFormSetting::FormCreate()
{
    for (QWidget* page : ServicePages())
        SetPageVisible(page, false);
    DeviceLink->LoadHidLibrary();
    SetDeviceControlsEnabled(false);
    Timer1->start(FirstDetectionDelayMs);
    ShowPageDefaults();
    // The pickers show the PC clock from the start, not only after the first tick.
    LoggerPage->TimerDateTimeTimer();
    TimerDateTime->start();
}

void TFormSetting::ShowPageDefaults()
{
    TempPage->ShowDefaults();
    HumiPage->ShowDefaults();
    PressPage->ShowDefaults();
    LoggerPage->ShowLogDefaults();
    WiFiPage->ShowWiFiDefaults();
}

QWidget* TFormSetting::addPage(const QString& objectName, const QString& caption)
{
    auto* page = new QWidget;
    page->setObjectName(objectName);
    PageControl->addTab(page, caption);
    return page;
}

void TFormSetting::SetLimitSeriesHook(std::function<void(bool)> hook)
{
    LimitSeriesHook = std::move(hook);
}

QList<QWidget*> TFormSetting::ServicePages() const
{
    return {TabSheet2, TabSheet3, TabSheet4, TabSheet5, TabSheet6};
}

bool TFormSetting::PageVisible(QWidget* page) const
{
    return PageControl->isTabVisible(PageControl->indexOf(page));
}

void TFormSetting::SetPageVisible(QWidget* page, bool visible)
{
    PageControl->setTabVisible(PageControl->indexOf(page), visible);
}

QList<QWidget*> TFormSetting::DeviceControls() const
{
    return GeneralPage->DeviceControls() + TempPage->DeviceControls() + HumiPage->DeviceControls()
        + PressPage->DeviceControls() + LoggerPage->DeviceControls() + WiFiPage->DeviceControls();
}

void TFormSetting::SetDeviceControlsEnabled(bool enabled)
{
    for (QWidget* control : DeviceControls())
        control->setEnabled(enabled);
}

void TFormSetting::AppendStatusLine(const QString& line)
{
    ListBox1->addItem(line);
    ListBox1->setCurrentRow(ListBox1->count() - 1);
}

// One detection pass; the next one comes a second after this one has ended.
void TFormSetting::Timer1Timer()
{
    switch (DeviceLink->DetectionPass()) {
    case TDeviceLink::DetectionResult::Connected:
        AnnounceConnected();
        break;
    case TDeviceLink::DetectionResult::Lost:
        AnnounceLost();
        break;
    case TDeviceLink::DetectionResult::NoChange:
        break;
    }
    Timer1->start(DetectionPeriodMs);
}

void TFormSetting::AnnounceConnected()
{
    SetDeviceControlsEnabled(true);
    FormRead->ButtonReg->setEnabled(true);
    FormRead->ButtonStartMon->setEnabled(true);
    // A logger that does not tell its number must not take over the last one's:
    // its drive would be looked for under that other logger's label.
    if (!GeneralPage->ButtonDeviceNumberReadClick())
        GeneralPage->EditDeviceNumber->clear();
    // The logger needs a moment after the first exchanges before it is asked again.
    DeviceLink->Sleep(SettleAfterDetectionMs);
    DeviceLink->CompleteIdentity(GeneralPage->EditDeviceNumber->text());
    if (LimitSeriesHook)
        LimitSeriesHook(DeviceLink->Identity().Series > LastSeriesWithoutLimits);
}

void TFormSetting::AnnounceLost()
{
    SetDeviceControlsEnabled(false);
    Timer2->stop();
    FormRead->ButtonReg->setEnabled(false);
    FormRead->ButtonStartMon->setEnabled(false);
    FormRead->ButtonStartMon->setText(QStringLiteral("Старт"));
}

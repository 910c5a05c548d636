#include "shell/TFormSetting.h"

#include "settings/CalibrationTables.h"
#include "settings/TCalibrationPage.h"
#include "settings/TGeneralPage.h"
#include "settings/TLoggerPage.h"
#include "settings/TWiFiPage.h"
#include "shell/TLoggerConnection.h"
#include "shell/TabPages.h"
#include "text/MessageText.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

TFormSetting::TFormSetting(TLoggerConnection& connection, QWidget* mainWindow)
    : TToolWindow(mainWindow, QStringLiteral("Настройки"), QSize(371, 447))
    , PageControl(new QTabWidget(this))
    , ListBox1(new QListWidget(this))
    , TimerDateTime(new QTimer(this))
{
    TLoggerRequests& requests = connection.requests();
    setObjectName(QStringLiteral("FormSetting"));

    PageControl->setObjectName(QStringLiteral("PageControl"));
    TabSheet1 = TabPages::addPage(PageControl, QStringLiteral("TabSheet1"), QStringLiteral("Даталоггер"));
    TabSheet2 = TabPages::addPage(PageControl, QStringLiteral("TabSheet2"), QStringLiteral("Wi-Fi"));
    TabSheet3 = TabPages::addPage(PageControl, QStringLiteral("TabSheet3"), QStringLiteral("Обшие"));
    TabSheet4 = TabPages::addPage(PageControl, QStringLiteral("TabSheet4"), QStringLiteral("Температура"));
    TabSheet5 = TabPages::addPage(PageControl, QStringLiteral("TabSheet5"), QStringLiteral("Влажность"));
    TabSheet6 = TabPages::addPage(PageControl, QStringLiteral("TabSheet6"), QStringLiteral("Давление"));

    loggerPage_ = new TLoggerPage(requests);
    TabPages::fill(TabSheet1, loggerPage_);
    wifiPage_ = new TWiFiPage(requests);
    TabPages::fill(TabSheet2, wifiPage_);
    generalPage_ = new TGeneralPage(requests, TabSheet3);
    tempPage_ = new TCalibrationPage(TempPageTable(), requests);
    TabPages::fill(TabSheet4, tempPage_);
    humiPage_ = new TCalibrationPage(HumiPageTable(), requests);
    TabPages::fill(TabSheet5, humiPage_);
    pressPage_ = new TCalibrationPage(PressPageTable(), requests);
    TabPages::fill(TabSheet6, pressPage_);

    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Журнал событий"));
    connect(&connection, &TLoggerConnection::statusLogged, this, &TFormSetting::appendStatusLine);
    connect(&connection, &TLoggerConnection::detected, this, &TFormSetting::showConnected);
    connect(&connection, &TLoggerConnection::lost, this, [this] { SetDeviceControlsEnabled(false); });
    connect(generalPage_, &TGeneralPage::recordCountRead, &connection, &TLoggerConnection::setRecordCount);
    for (TDevicePage* page : std::initializer_list<TDevicePage*>{loggerPage_, wifiPage_, generalPage_, tempPage_,
                                                                  humiPage_, pressPage_}) {
        connect(page, &TDevicePage::doingChanged, this, [this, page](const QString& doing) { showDoing(page, doing); });
    }
    tellWrites(loggerPage_, QString(), connection);
    tellWrites(wifiPage_, QString(), connection);
    tellWrites(generalPage_, QString(), connection);
    tellWrites(tempPage_, PageControl->tabText(PageControl->indexOf(TabSheet4)), connection);
    tellWrites(humiPage_, PageControl->tabText(PageControl->indexOf(TabSheet5)), connection);
    tellWrites(pressPage_, PageControl->tabText(PageControl->indexOf(TabSheet6)), connection);
    for (TCalibrationPage* page : {tempPage_, humiPage_, pressPage_})
        connect(generalPage_, &TGeneralPage::initialised, page, &TCalibrationPage::noteInitialised);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(PageControl, 3);
    layout->addWidget(ListBox1, 1);

    TimerDateTime->setObjectName(QStringLiteral("TimerDateTime"));
    TimerDateTime->setInterval(DateTimePeriodMs);
    connect(TimerDateTime, &QTimer::timeout, loggerPage_, &TLoggerPage::TimerDateTimeTimer);
    // Once the user has touched a picker, it keeps what the user set.
    connect(loggerPage_, &TLoggerPage::pickerTouched, TimerDateTime, &QTimer::stop);
    connect(loggerPage_, &TLoggerPage::levelsRead, this, &TFormSetting::loggerLevelsRead);
    connect(loggerPage_, &TLoggerPage::logReadRequested, this, &TFormSetting::loggerLogReadRequested);
    loggerPage_->setEraseFacts([this, &connection] { return eraseFacts(connection.deviceLabel()); });

    FormCreate();
}

TFormSetting::~TFormSetting() = default;

void TFormSetting::FormCreate()
{
    for (QWidget* page : servicePages())
        setPageVisible(page, false);
    SetDeviceControlsEnabled(false);
    showPageDefaults();
    // The pickers show the PC clock from the start, not only after the first tick.
    loggerPage_->TimerDateTimeTimer();
    TimerDateTime->start();
}

void TFormSetting::showPageDefaults()
{
    tempPage_->showDefaults();
    humiPage_->showDefaults();
    pressPage_->showDefaults();
    wifiPage_->ShowWiFiDefaults();
}

QList<QWidget*> TFormSetting::servicePages() const
{
    return {TabSheet2, TabSheet3, TabSheet4, TabSheet5, TabSheet6};
}

bool TFormSetting::pageVisible(QWidget* page) const
{
    return PageControl->isTabVisible(PageControl->indexOf(page));
}

void TFormSetting::setPageVisible(QWidget* page, bool visible)
{
    PageControl->setTabVisible(PageControl->indexOf(page), visible);
}

void TFormSetting::toggleServicePages()
{
    const bool visible = !pageVisible(TabSheet3);
    for (QWidget* page : servicePages())
        setPageVisible(page, visible);
}

QList<QWidget*> TFormSetting::deviceControls() const
{
    return generalPage_->deviceControls() + tempPage_->deviceControls() + humiPage_->deviceControls()
        + pressPage_->deviceControls() + loggerPage_->deviceControls() + wifiPage_->deviceControls();
}

void TFormSetting::SetDeviceControlsEnabled(bool enabled)
{
    for (QWidget* control : deviceControls())
        control->setEnabled(enabled);
}

void TFormSetting::useArchive()
{
    archiveInUse_ = true;
}

void TFormSetting::noteNewestKept(const QString& label, const QDateTime& storedAt)
{
    keptAt_.insert(label, storedAt);
}

TEraseFacts TFormSetting::eraseFacts(const QString& label) const
{
    TEraseFacts facts{label};
    if (!archiveInUse_)
        return facts;
    const auto kept = keptAt_.constFind(label);
    if (label.isEmpty() || kept == keptAt_.cend()) {
        facts.archive = TEraseFacts::Archive::NotKnown;
        return facts;
    }
    facts.archive = kept->isValid() ? TEraseFacts::Archive::Kept : TEraseFacts::Archive::Absent;
    facts.keptAt = *kept;
    return facts;
}

void TFormSetting::tellWrites(TDevicePage* page, const QString& title, const TLoggerConnection& connection)
{
    connect(page, &TDevicePage::loggerChanged, this,
            [this, title, &connection](TLoggerChange change, const QString& detail) {
                emit loggerWritten(connection.deviceLabel(), change,
                                   title.isEmpty() ? detail : title + QStringLiteral(" — ") + detail);
            });
}

void TFormSetting::appendStatusLine(const QString& line)
{
    // Above the lines of running requests, which stay last until they end; one
    // line a row, what a library said about it showing as the row's tooltip.
    const int row = ListBox1->count() - int(doingLines_.size());
    auto* item = new QListWidgetItem(MessageLine(line));
    item->setToolTip(MessageDetail(line));
    ListBox1->insertItem(row, item);
    ListBox1->setCurrentRow(row);
}

void TFormSetting::showDoing(TDevicePage* page, const QString& doing)
{
    delete doingLines_.take(page);
    if (doing.isEmpty())
        return;
    auto* line = new QListWidgetItem(QStringLiteral("Выполняется: %1").arg(doing));
    line->setFlags(Qt::ItemIsEnabled);
    line->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
    ListBox1->addItem(line);
    ListBox1->scrollToItem(line);
    doingLines_.insert(page, line);
}

void TFormSetting::showConnected(const TDeviceIdentity& identity)
{
    SetDeviceControlsEnabled(true);
    generalPage_->showDetectedNumber(identity.numberText);
}

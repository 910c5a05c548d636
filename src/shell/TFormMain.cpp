#include "shell/TFormMain.h"

#include "chart/TChart.h"
#include "data/LoadTexts.h"
#include "data/Loader.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"
#include "reports/ChartOutput.h"
#include "reports/OutputFormats.h"
#include "shell/LayoutRules.h"
#include "shell/MessageLabel.h"
#include "shell/TBackgroundJob.h"
#include "shell/TJobControls.h"
#include "shell/TabPages.h"
#include "shell/TLoggerConnection.h"
#include "shell/WindowLook.h"
#include "views/TChartPage.h"
#include "views/TRowTableModel.h"
#include "views/TSysPage.h"
#include "views/TTablePage.h"
#include "views/TVirtualGrid.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

TFormMain::TFormMain(TLoggerConnection& connection, const VolumeSource& volumes, const TUserLimitsHolder& limits)
    : MainMenu(new QMenuBar(this))
    , PageControlData(new QTabWidget(this))
    , TimerLoad(new QTimer(this))
    , StatusLine(new QLabel(emptyViewerHint(), this))
    , job_(new TBackgroundJob(this))
    , loads_(new TLogLoads(*job_, connection, volumes, this))
    , jobControls_(new TJobControls(*job_, "JobProgress", "ButtonJobCancel", this))
    , connection_(connection)
    , measurementStore_(std::make_unique<TMeasurementStore>())
    , loadedSources_(std::make_unique<TSourceList>(*measurementStore_))
    , rowTable_(new TRowTableModel(*measurementStore_, this))
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Регистратор данных"));
    WindowLook::applyWhiteBackground(this);
    resize(762, 491);

    buildMenu();
    buildPages(limits);
    buildPanelLoad();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(MainMenu);
    layout->addWidget(PageControlData, 1);
    StatusLine->setObjectName(QStringLiteral("StatusLine"));
    StatusLine->setContentsMargins(4, 2, 4, 2);
    StatusLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    MakeOneLineStatus(StatusLine);
    layout->addStretch();
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(StatusLine, 1);
    jobControls_->addTo(*statusRow);
    layout->addLayout(statusRow);
    buildJobControls();
    setAcceptDrops(true);

    TimerLoad->setObjectName(QStringLiteral("TimerLoad"));
    TimerLoad->setSingleShot(true);
    TimerLoad->setInterval(1000);
    connect(TimerLoad, &QTimer::timeout, this, &TFormMain::TimerLoadTimer);
    connect(loads_, &TLogLoads::progressed, ButtonLoadPercent, &QPushButton::setText);
    connect(loads_, &TLogLoads::finished, this, &TFormMain::showLoadOutcome);

    chartPage_->setPublishedSeries([this] { return connection_.identity().PublishedSeries; });
    connect(&connection_, &TLoggerConnection::detected, this,
            [this](const TDeviceIdentity& identity) { showLimitSeries(CarriesLimitLines(identity.Series)); });

    FormCreate();
    WindowLook::centreOnScreen(this);
}

// A running job ends first; the pages read the store and the row table to
// the last: they go before them.
TFormMain::~TFormMain()
{
    delete job_;
    delete PageControlData;
}

void TFormMain::buildMenu()
{
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    N1Source = MainMenu->addMenu(QStringLiteral("Источники ..."));
    N1Source->setObjectName(QStringLiteral("N1Source"));
    N1_1Refresh = N1Source->addAction(QStringLiteral("Обновить"));
    N1_1Refresh->setObjectName(QStringLiteral("N1_1Refresh"));
    connect(N1_1Refresh, &QAction::triggered, this, &TFormMain::N1_1RefreshClick);
    N1_2Separator = N1Source->addSeparator();
    N1_2Separator->setObjectName(QStringLiteral("N1_2Separator"));

    N1 = MainMenu->addAction(QStringLiteral("Печать"));
    N1->setObjectName(QStringLiteral("N1"));
    connect(N1, &QAction::triggered, this, &TFormMain::printRequested);

    N2 = MainMenu->addMenu(QStringLiteral("Сохранить ..."));
    N2->setObjectName(QStringLiteral("N2"));
    for (const TOutputFormat& format : OutputFormats()) {
        QAction* item = N2->addAction(format.caption);
        item->setObjectName(format.actionName);
        saveItems_[format.kind] = item;
    }

    N4 = MainMenu->addAction(QStringLiteral("Статистика"));
    N4->setObjectName(QStringLiteral("N4"));
    connect(N4, &QAction::triggered, this, &TFormMain::N4Click);

    N1Setting = MainMenu->addAction(QStringLiteral("Настройки"));
    N1Setting->setObjectName(QStringLiteral("N1Setting"));
    N1Setting->setVisible(false);
    connect(N1Setting, &QAction::triggered, this, &TFormMain::N1SettingClick);

    N3 = MainMenu->addAction(QStringLiteral("Свободно: 0%"));
    N3->setObjectName(QStringLiteral("N3"));
    N3->setEnabled(false);
    N3->setVisible(false);
}

void TFormMain::buildPages(const TUserLimitsHolder& limits)
{
    PageControlData->setObjectName(QStringLiteral("PageControlData"));
    PageControlData->hide();
    TabSheetGraph = TabPages::addPage(PageControlData, QStringLiteral("TabSheetGraph"), QStringLiteral("Графики"));
    TabSheetTable = TabPages::addPage(PageControlData, QStringLiteral("TabSheetTable"), QStringLiteral("Таблица"));
    TabSheetSys = TabPages::addPage(PageControlData, QStringLiteral("TabSheetSys"), QStringLiteral("Sys"));

    chartPage_ = new TChartPage(*measurementStore_, limits, TabSheetGraph);
    TabPages::fill(TabSheetGraph, chartPage_);
    tablePage_ = new TTablePage(*measurementStore_, TabSheetTable);
    TabPages::fill(TabSheetTable, tablePage_);
    sysPage_ = new TSysPage(*rowTable_, TabSheetSys);
    TabPages::fill(TabSheetSys, sysPage_);
    connect(sysPage_->Go, &QPushButton::clicked, this, &TFormMain::GoClick);
}

void TFormMain::buildPanelLoad()
{
    PanelLoad = new QFrame(this);
    PanelLoad->setObjectName(QStringLiteral("PanelLoad"));
    PanelLoad->setFrameShape(QFrame::Box);
    PanelLoad->resize(300, 60);
    ButtonLoadPercent = new QPushButton(PanelLoad);
    ButtonLoadPercent->setObjectName(QStringLiteral("ButtonLoadPercent"));
    ButtonLoadPercent->setFlat(true);
    ButtonLoadPercent->setGeometry(8, 8, 284, 44);
    PanelLoad->hide();
}

void TFormMain::buildJobControls()
{
    // The status line keeps its height, so the pages above do not jump as a job starts and ends.
    StatusLine->setMinimumHeight(jobControls_->cancelButton()->sizeHint().height());
    connect(job_, &TBackgroundJob::started, this, [this](const QString& title) {
        statusBeforeJob_ = StatusLine->text();
        showStatus(title + QStringLiteral("..."));
        showJobRunning(true);
    });
    connect(job_, &TBackgroundJob::finished, this, [this] { showJobRunning(false); });
    showJobRunning(false);
}

// One job at a time: loading, printing and saving wait while one runs.
void TFormMain::showJobRunning(bool running)
{
    N1Source->menuAction()->setEnabled(!running);
    N1->setEnabled(!running);
    N2->menuAction()->setEnabled(!running);
    for (QAction* save : N2->actions())
        save->setEnabled(!running);
}

void TFormMain::FormCreate()
{
    // The service keys work in every window of the program, from start to exit.
    qApp->installEventFilter(this);
    PageControlData->setTabVisible(PageControlData->indexOf(TabSheetSys), false);
}

void TFormMain::showInFront()
{
    show();
    raise();
    activateWindow();
}

QAction* TFormMain::addSourceMenuAction(const QString& text)
{
    return N1Source->addAction(text);
}

QAction* TFormMain::saveMenuAction(TOutputKind kind) const
{
    return saveItems_.at(kind);
}

TChart& TFormMain::chart()
{
    return *chartPage_->Chart;
}

std::unique_ptr<TReportChart> TFormMain::reportChart(const TMeasurementStore& rows)
{
    return chartPage_->reportChart(rows, ChartScreenSize(*chartPage_->Chart));
}

std::unique_ptr<TReportChart> TFormMain::reportChart(const TRowSpanView& rows)
{
    return chartPage_->reportChart(rows, ChartScreenSize(*chartPage_->Chart));
}

const TRowSpanView* TFormMain::chartPeriod() const
{
    return chartPage_->period();
}

void TFormMain::showLimitSeries(bool shown)
{
    chartPage_->showLimitSeries(shown);
}

bool TFormMain::limitSeriesShown() const
{
    return chartPage_->limitSeriesShown();
}

void TFormMain::N1_1RefreshClick()
{
    BeginLoad();
}

// The load itself starts a second later, so the panel is painted before the
// pages give way to the loaded ones.
void TFormMain::BeginLoad()
{
    PageControlData->hide();
    ButtonLoadPercent->setText(QStringLiteral("Загрузка данных 0 %, ждите..."));
    PanelLoad->show();
    PanelLoad->raise();
    TimerLoad->start();
}

void TFormMain::TimerLoadTimer()
{
    TimerLoad->stop();
    GoClick();
    if (!loads_->isLoading())
        endPanelLoad();
}

// The load runs on the worker; its end comes to showLoadOutcome.
void TFormMain::GoClick()
{
    loads_->loadFromDrives();
}

// The panel shows the load's last text before it gives way to the pages.
void TFormMain::endPanelLoad()
{
    ButtonLoadPercent->repaint();
    PanelLoad->hide();
    N3->setText(lastFreeMemoryText_);
    showFreeMemory();
    PageControlData->show();
}

// The logger's free memory says nothing of a log opened from a file or the archive.
void TFormMain::showFreeMemory()
{
    N3->setVisible(openedFileName_.isEmpty() && loadedSources_->shownSourceIndex() >= 0);
}

void TFormMain::openLogFile(const QString& path, QObject* receiver, TLogLoads::Done done)
{
    loads_->loadFile(path, receiver, std::move(done));
}

void TFormMain::openArchivedLog(const QString& label, const QByteArray& raw, QObject* receiver,
                                TLogLoads::Done done)
{
    loads_->loadArchived(label, raw, receiver, std::move(done));
}

void TFormMain::showLoadOutcome(const TLoadOutcome& outcome)
{
    if (!outcome.result)
        showStatus(QStringLiteral("Загрузка отменена, показаны прежние данные"));
    else if (outcome.origin == TLoadOrigin::Drives)
        showDrivesLoad(*outcome.result);
    else if (outcome.result->failure.isEmpty())
        showOpenedLog(outcome);
    else
        showStatus(statusBeforeJob_); // refused: its error box says why, and what was shown stays
    if (outcome.origin == TLoadOrigin::Drives)
        endPanelLoad();
}

void TFormMain::showDrivesLoad(TLoadResult& result)
{
    connection_.setExpectedLabel(result.expectedLabel);
    // A refused load leaves the opened file shown, under its name.
    if (!result.keepsPrevious && !openedFileName_.isEmpty()) {
        setWindowTitle(QStringLiteral("Регистратор данных"));
        openedFileName_.clear();
    }
    if (result.windowCaption)
        setWindowTitle(*result.windowCaption);
    showLoad(result);
    if (!result.failure.isEmpty())
        showStatus(result.failure);
    if (!result.keepsPrevious)
        emit logsRead();
}

void TFormMain::showOpenedLog(const TLoadOutcome& outcome)
{
    const bool fromFile = outcome.origin == TLoadOrigin::File;
    openedFileName_ = fromFile ? QFileInfo(outcome.name).fileName() : outcome.name;
    setWindowTitle(QStringLiteral("Регистратор данных - ") + openedFileName_);
    showLoad(*outcome.result);
    showFreeMemory();
    PageControlData->show();
    // A log from the archive is kept there already.
    if (fromFile)
        emit logsRead();
}

QString TFormMain::shownLogLabel() const
{
    if (!openedFileName_.isEmpty())
        return openedFileName_;
    const qsizetype shown = loadedSources_->shownSourceIndex();
    if (shown >= 0)
        return loadedSources_->loadedSources()[size_t(shown)].source.volume.label;
    return connection_.deviceLabel();
}

TShownLog TFormMain::shownLog() const
{
    return {loadedSources_->shownRaw().bytes(), shownLogLabel()};
}

void TFormMain::noteExported(const TShownLog& log, const QString& detail)
{
    emit logExported(log.raw, log.label, detail);
}

void TFormMain::showLoad(TLoadResult& result)
{
    loadedSources_->adopt(result);
    connection_.setRecordCount(result.recordCount);
    showStoreRows();
    sysPage_->showLoad(result);
    if (result.leftOutRecords > 0) {
        const QString leftOut = LeftOutRecordsText(result.leftOutRecords, result.recordLimit);
        connection_.logStatus(leftOut);
        showStatus(leftOut);
    }
    lastFreeMemoryText_ = result.freeMemoryText;
    listSources();
}

void TFormMain::showStoreRows()
{
    showStatus(measurementStore_->DataRowCount() == 0 ? emptyViewerHint() : QString());
    rowTable_->reload();
    tablePage_->storeLoaded();
    chartPage_->storeLoaded();
}

// One item per accepted source, between the separator and the items after it.
void TFormMain::listSources()
{
    qDeleteAll(sourceItems_);
    sourceItems_.clear();
    const QList<QAction*> items = N1Source->actions();
    const qsizetype after = items.indexOf(N1_2Separator) + 1;
    QAction* before = after < items.size() ? items[after] : nullptr;
    const std::vector<TLoadedSource>& sources = loadedSources_->loadedSources();
    for (qsizetype index = 0; index < qsizetype(sources.size()); ++index) {
        auto* item = new QAction(QDir::toNativeSeparators(sources[size_t(index)].source.filePath), N1Source);
        item->setCheckable(true);
        item->setChecked(index == loadedSources_->shownSourceIndex());
        item->setEnabled(sources[size_t(index)].records != nullptr);
        connect(item, &QAction::triggered, this, [this, index] { showSource(index); });
        N1Source->insertAction(before, item);
        sourceItems_.append(item);
    }
}

bool TFormMain::showSource(qsizetype index)
{
    if (!loadedSources_->showSource(index))
        return false;
    showStoreRows();
    for (qsizetype item = 0; item < sourceItems_.size(); ++item)
        sourceItems_[item]->setChecked(item == index);
    emit shownSourceChanged();
    return true;
}

void TFormMain::showStatus(const QString& text)
{
    ShowMessageLine(StatusLine, text);
}

void TFormMain::showSaved(const QString& path)
{
    showStatus(QStringLiteral("Сохранено: ") + QDir::toNativeSeparators(path));
}

QString TFormMain::emptyViewerHint()
{
    return QStringLiteral("Нет данных: Источники ... → Обновить (журнал прибора) или → Открыть файл... "
                          "(сохранённый журнал)");
}

// A single local file dropped on the window is opened as a log.
void TFormMain::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.constFirst().isLocalFile())
        event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
    emit logFileDropped(urls.constFirst().toLocalFile());
}

int TFormMain::tableRowCount() const
{
    return tablePage_->StringGridFiltr->model()->rowCount() + 1;
}

void TFormMain::N4Click()
{
    if (tableRowCount() > 2)
        emit statisticsToggled();
}

void TFormMain::N1SettingClick()
{
    emit settingsToggled();
}

void TFormMain::HotKeySysPage()
{
    const int sysIndex = PageControlData->indexOf(TabSheetSys);
    if (PageControlData->isTabVisible(sysIndex)) {
        PageControlData->setTabVisible(sysIndex, false);
        PageControlData->setCurrentIndex(0);
    } else {
        PageControlData->setTabVisible(sysIndex, true);
        PageControlData->setCurrentIndex(sysIndex);
    }
}

void TFormMain::HotKeyServicePages()
{
    emit servicePagesKeyPressed();
}

void TFormMain::HotKeyTestMode()
{
    connection_.toggleTestMode();
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && ApplicationEventsMessage(static_cast<QKeyEvent&>(*event)))
        return true;
    // The chart takes its width from the tab pages' layouts after the window's resize.
    if (event->type() == QEvent::Resize && watched == chartPage_->Chart)
        FormResize();
    return QWidget::eventFilter(watched, event);
}

// A service key is consumed where it first arrives, so a key press that
// travels from the window to the focused control switches its state once.
bool TFormMain::ApplicationEventsMessage(const QKeyEvent& event)
{
    if (event.modifiers() != Qt::ShiftModifier || event.isAutoRepeat())
        return false;
    switch (event.key()) {
    case Qt::Key_F7:
        HotKeySysPage();
        return true;
    case Qt::Key_F8:
        HotKeyServicePages();
        return true;
    case Qt::Key_F9:
        HotKeyTestMode();
        return true;
    default:
        return false;
    }
}

// A load does not outlast the window: one waiting for its timer never
// starts, and a running one is cancelled.
void TFormMain::closeEvent(QCloseEvent* event)
{
    if (TimerLoad->isActive()) {
        TimerLoad->stop();
        endPanelLoad();
    }
    loads_->cancel();
    QWidget::closeEvent(event);
}

void TFormMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TFormMain::FormResize()
{
    const LayoutRules::ViewerLayout at =
        LayoutRules::viewerLayout(frameGeometry().size(), PanelLoad->size(), chartPage_->Chart->width());
    PanelLoad->setGeometry(at.panelLoad);
    chartPage_->placeControls(at.scrollBarLeft, at.scrollBarWidth, at.legendLeft);
    for (int column = 0; column < 6; ++column)
        tablePage_->StringGridFiltr->setColumnWidth(column, at.tableColumnWidth);
}

#include "shell/TFormMain.h"

#include "chart/TChart.h"
#include "data/LoadTexts.h"
#include "data/Loader.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"
#include "shell/LayoutRules.h"
#include "shell/TBackgroundJob.h"
#include "shell/TabPages.h"
#include "shell/TLoggerConnection.h"
#include "shell/WindowLook.h"
#include "views/TChartPage.h"
#include "views/TRowTableModel.h"
#include "views/TSysPage.h"
#include "views/TTablePage.h"
#include "views/TVirtualGrid.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QEventLoop>
#include <QLabel>
#include <QMimeData>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The progress is painted no more often than a display refreshes.
constexpr qint64 ProgressFrameMs = 16;
// Steps of the job's progress bar, whatever the count of rows or bytes.
constexpr int JobProgressSteps = 1000;

}  // namespace

TFormMain::TFormMain(TLoggerConnection& connection, const VolumeSource& volumes)
    : MainMenu(new QMenuBar(this))
    , PageControlData(new QTabWidget(this))
    , TimerLoad(new QTimer(this))
    , StatusLine(new QLabel(emptyViewerHint(), this))
    , job_(new TBackgroundJob(this))
    , JobProgress(new QProgressBar(this))
    , ButtonJobCancel(new QPushButton(QStringLiteral("Отмена"), this))
    , connection_(connection)
    , measurementStore_(std::make_unique<TMeasurementStore>())
    , loadedSources_(std::make_unique<TSourceList>(*measurementStore_))
    , volumes_(volumes)
    , rowTable_(new TRowTableModel(*measurementStore_, this))
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Регистратор данных"));
    WindowLook::applyWhiteBackground(this);
    resize(762, 491);

    buildMenu();
    buildPages();
    buildPanelLoad();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(MainMenu);
    layout->addWidget(PageControlData, 1);
    StatusLine->setObjectName(QStringLiteral("StatusLine"));
    StatusLine->setContentsMargins(4, 2, 4, 2);
    StatusLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addStretch();
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(StatusLine, 1);
    statusRow->addWidget(JobProgress);
    statusRow->addWidget(ButtonJobCancel);
    layout->addLayout(statusRow);
    buildJobControls();
    setAcceptDrops(true);

    TimerLoad->setObjectName(QStringLiteral("TimerLoad"));
    TimerLoad->setSingleShot(true);
    TimerLoad->setInterval(1000);
    connect(TimerLoad, &QTimer::timeout, this, &TFormMain::TimerLoadTimer);

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
    bmp1 = N2->addAction(QStringLiteral("*.bmp"));
    bmp1->setObjectName(QStringLiteral("bmp1"));
    connect(bmp1, &QAction::triggered, this, &TFormMain::chartBitmapRequested);
    xls1 = N2->addAction(QStringLiteral("*.xls"));
    xls1->setObjectName(QStringLiteral("xls1"));
    connect(xls1, &QAction::triggered, this, &TFormMain::spreadsheetRequested);

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
}

void TFormMain::buildPages()
{
    PageControlData->setObjectName(QStringLiteral("PageControlData"));
    PageControlData->hide();
    TabSheetGraph = TabPages::addPage(PageControlData, QStringLiteral("TabSheetGraph"), QStringLiteral("Графики"));
    TabSheetTable = TabPages::addPage(PageControlData, QStringLiteral("TabSheetTable"), QStringLiteral("Таблица"));
    TabSheetSys = TabPages::addPage(PageControlData, QStringLiteral("TabSheetSys"), QStringLiteral("Sys"));

    chartPage_ = new TChartPage(*measurementStore_, TabSheetGraph);
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
    JobProgress->setObjectName(QStringLiteral("JobProgress"));
    JobProgress->setRange(0, JobProgressSteps);
    JobProgress->setMaximumWidth(200);
    ButtonJobCancel->setObjectName(QStringLiteral("ButtonJobCancel"));
    // The status line keeps its height, so the pages above do not jump as a job starts and ends.
    StatusLine->setMinimumHeight(ButtonJobCancel->sizeHint().height());
    connect(ButtonJobCancel, &QPushButton::clicked, job_, &TBackgroundJob::cancel);
    connect(job_, &TBackgroundJob::started, this, [this](const QString& title) {
        showStatus(title + QStringLiteral("..."));
        showJobRunning(true);
    });
    connect(job_, &TBackgroundJob::progressed, this, &TFormMain::showJobProgress);
    connect(job_, &TBackgroundJob::finished, this, [this] { showJobRunning(false); });
    showJobRunning(false);
}

// One job at a time: loading, printing and saving wait while one runs.
void TFormMain::showJobRunning(bool running)
{
    JobProgress->setVisible(running);
    JobProgress->setValue(0);
    ButtonJobCancel->setVisible(running);
    N1Source->menuAction()->setEnabled(!running);
    N1->setEnabled(!running);
    N2->menuAction()->setEnabled(!running);
    for (QAction* save : N2->actions())
        save->setEnabled(!running);
}

void TFormMain::showJobProgress(qint64 done, qint64 total)
{
    JobProgress->setValue(total > 0 ? int(done * JobProgressSteps / total) : 0);
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

QAction* TFormMain::addSaveMenuAction(const QString& text)
{
    return N2->addAction(text);
}

TChart& TFormMain::chart()
{
    return *chartPage_->Chart;
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
// window stops answering for the length of the load.
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
    PanelLoad->hide();
    N3->setText(lastFreeMemoryText_);
    PageControlData->show();
}

void TFormMain::GoClick()
{
    TLoadRequest request;
    request.expectedLabel = connection_.deviceLabel();
    request.testMode = connection_.testMode();
    request.recordCount = connection_.recordCount();
    std::optional<TLoadResult> loaded = loadOffThread(request, [this](TLoader& loader, const TLoadRequest& load) {
        // The worker waits for the logger's thread, never for the UI thread.
        TLoadRequest asking = load;
        asking.recordCountOf = [this, &job = *load.job](const QString&) {
            return connection_.readRecordCountWaiting(job);
        };
        return loader.loadFromDrives(asking);
    });
    if (!loaded)
        return;
    TLoadResult& result = *loaded;

    connection_.setExpectedLabel(result.expectedLabel);
    if (result.windowCaption)
        setWindowTitle(*result.windowCaption);
    else if (!openedFileName_.isEmpty())
        setWindowTitle(QStringLiteral("Регистратор данных"));
    openedFileName_.clear();
    showLoad(result);
    if (!result.failure.isEmpty())
        showStatus(result.failure);
    if (!result.keepsPrevious)
        emit logsRead();
}

bool TFormMain::openLogFile(const QString& path, QString* failure)
{
    TLoadRequest request;
    request.recordCount = connection_.recordCount();
    std::optional<TLoadResult> loaded = loadOffThread(
        request, [path](TLoader& loader, const TLoadRequest& load) { return loader.loadFile(path, load); });
    if (!loaded)
        return refusedWhileBusy(path, failure);
    if (!showOpenedLog(QFileInfo(path).fileName(), *loaded, failure))
        return false;
    emit logsRead();
    return true;
}

bool TFormMain::openArchivedLog(const QString& label, const QByteArray& raw, QString* failure)
{
    TLoadRequest request;
    request.recordCount = connection_.recordCount();
    std::optional<TLoadResult> loaded =
        loadOffThread(request, [label, raw](TLoader& loader, const TLoadRequest& load) {
            return loader.loadRecords(label, raw, load);
        });
    if (!loaded)
        return refusedWhileBusy(label, failure);
    return showOpenedLog(label, *loaded, failure);
}

// A log not shown because the load was cancelled (no failure to tell) or
// another job runs (the failure says which).
bool TFormMain::refusedWhileBusy(const QString& name, QString* failure) const
{
    if (failure && job_->isRunning())
        *failure = QStringLiteral("Не удалось открыть %1: сначала должна закончиться %2")
                       .arg(name, job_->title().toLower());
    return false;
}

bool TFormMain::showOpenedLog(const QString& name, TLoadResult& result, QString* failure)
{
    if (!result.failure.isEmpty()) {
        if (failure)
            *failure = result.failure;
        return false;
    }
    openedFileName_ = name;
    setWindowTitle(QStringLiteral("Регистратор данных - ") + openedFileName_);
    showLoad(result);
    PageControlData->show();
    return true;
}

// The load reads on the worker while the windows go on, and the call
// returns with it; nothing, and everything stays, when the user cancelled it
// or another job runs.
std::optional<TLoadResult> TFormMain::loadOffThread(TLoadRequest request, const LoadWork& load)
{
    request.showProgress = [this](const QString& text) {
        QMetaObject::invokeMethod(this, [this, text] { showProgress(text); }, Qt::QueuedConnection);
    };
    auto result = std::make_shared<TLoadResult>();
    QEventLoop loading;
    bool cancelled = false;
    const bool started = job_->start(
        QStringLiteral("Загрузка данных"),
        // A loader of its own: a cancelled load may still be ending as the next one starts.
        [volumes = &volumes_, result, request, load](TJobProgress& progress) mutable {
            request.job = &progress;
            TLoader loader(*volumes);
            *result = load(loader, request);
        },
        [&loading, &cancelled](bool wasCancelled) {
            cancelled = wasCancelled;
            loading.quit();
        });
    if (!started)
        return std::nullopt;
    loading.exec();
    endProgress();
    if (cancelled) {
        showStatus(QStringLiteral("Загрузка отменена, показаны прежние данные"));
        return std::nullopt;
    }
    return std::move(*result);
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

void TFormMain::showLoad(TLoadResult& result)
{
    loadedSources_->adopt(result);
    connection_.setRecordCount(result.recordCount);
    showStoreRows();
    sysPage_->showLoad(result);
    if (result.leftOutRecords > 0) {
        const QString leftOut = LeftOutRecordsText(result.leftOutRecords, TRawRecordBuffer::Capacity);
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

// The worker's texts come as the percentage changes; the button takes one
// at most once a frame, the event loop painting it, since every paint waits
// for the display.
void TFormMain::showProgress(const QString& text)
{
    lastProgressText_ = text;
    if (progressPainted_.isValid() && !progressPainted_.hasExpired(ProgressFrameMs))
        return;
    ButtonLoadPercent->setText(text);
    progressPainted_.start();
}

// The last text of a load is painted however soon after the one before.
void TFormMain::endProgress()
{
    if (!lastProgressText_.isEmpty())
        ButtonLoadPercent->setText(lastProgressText_);
    ButtonLoadPercent->repaint();
    progressPainted_.invalidate();
    lastProgressText_.clear();
}

void TFormMain::showStatus(const QString& text)
{
    StatusLine->setText(text);
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

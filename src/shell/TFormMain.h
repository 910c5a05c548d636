#pragma once

#include "shell/TLogLoads.h"

#include <QWidget>

#include <map>
#include <memory>

class QAction;
class QFrame;
class QLabel;
class QKeyEvent;
class QMenu;
class QMenuBar;
class QPushButton;
class QTabWidget;
class QTimer;
class TLoggerConnection;
struct TLoadResult;
class TMeasurementStore;
class TSourceList;
class TRowSpanView;
class TRowTableModel;
class TChart;
class TBackgroundJob;
class TJobControls;
class TChartPage;
class TReportChart;
class TSysPage;
class TTablePage;
class TUserLimitsHolder;
class VolumeSource;
enum class TOutputKind;

// The shown log as the archive finds it: its records as read, and the label
// reports name it by.
struct TShownLog {
    QByteArray raw;
    QString label;
};

// The data viewer: menu, the chart, table and service pages, the loading panel.
class TFormMain : public QWidget {
    Q_OBJECT
public:
    // limits: the limits in use, which the chart draws as lines.
    TFormMain(TLoggerConnection& connection, const VolumeSource& volumes, const TUserLimitsHolder& limits);
    ~TFormMain() override;

    // Shows the viewer; an open one behind other windows comes to the front as well.
    void showInFront();

    // Whether the chart draws the four critical-level lines: set on every new
    // detection from the logger's series; they start shown.
    void showLimitSeries(bool shown);
    bool limitSeriesShown() const;

    // Starts loading a saved log file as the shown source, without a logger;
    // a file that cannot be read leaves everything as it was, and so does a
    // load the user cancelled. `done` is told the failure, empty once the log
    // is shown or cancelled, as the load ends, or at once when another job runs.
    void openLogFile(const QString& path, QObject* receiver, TLogLoads::Done done);
    // Starts loading a log kept in the archive as the shown source, named by
    // its label, as a saved log file is opened; not archived again.
    void openArchivedLog(const QString& label, const QByteArray& raw, QObject* receiver, TLogLoads::Done done);
    // The file name the shown log was opened from; empty for a load from the logger.
    const QString& openedFile() const { return openedFileName_; }
    // What reports name the shown log by: the name of the file it was opened
    // from, or the label of the drive it was read from; before any log is
    // shown, the connected logger's label.
    QString shownLogLabel() const;
    // The shown log's records and label, taken as an output of it begins.
    TShownLog shownLog() const;
    // Tells that a file was written, or the chart printed, from `log`:
    // logExported, with `detail` naming what was made.
    void noteExported(const TShownLog& log, const QString& detail);

    // Shows another accepted source of the last load, kept since the load,
    // in every view; false for one that could not be read.
    bool showSource(qsizetype index);

    // One line at the foot of the window: what was just done, or what to do
    // while nothing is loaded.
    void showStatus(const QString& text);
    static QString emptyViewerHint();
    // Tells that a save into `path` finished.
    void showSaved(const QString& path);

    // Rows of the table view as the statistics item counts them: the header row included.
    int tableRowCount() const;

    // Adds an item to the "Источники ..." menu, after the ones already there.
    QAction* addSourceMenuAction(const QString& text);
    // The item of "Сохранить ..." that saves the kind of file; the menu has
    // one per output format, in their order.
    QAction* saveMenuAction(TOutputKind kind) const;
    // The chart of the Графики page as shown, as the bitmap and the printer take it.
    TChart& chart();
    // That chart over every row of a report, the whole log or a period, at its size on screen.
    std::unique_ptr<TReportChart> reportChart(const TMeasurementStore& rows);
    std::unique_ptr<TReportChart> reportChart(const TRowSpanView& rows);
    // Long work of the viewer's data: its progress bar and "Отмена" show in
    // the status line, and printing and saving wait until it ends.
    TBackgroundJob& backgroundJob() { return *job_; }
    // The rows of the chart's chosen period; none while the chart shows the whole load.
    const TRowSpanView* chartPeriod() const;

    TMeasurementStore& store() { return *measurementStore_; }
    const TSourceList& sources() const { return *loadedSources_; }

signals:
    // "Статистика" with more than the header and one row: the statistics window shows or hides.
    void statisticsToggled();
    // "Настройки": the settings window shows or hides.
    void settingsToggled();
    // The service key of the settings window's service pages.
    void servicePagesKeyPressed();
    // Another source of the last load is shown in the views.
    void shownSourceChanged();
    // "Печать": the chart printed.
    void printRequested();
    // A load from the logger's drives or from a file was shown: sources() holds what it read.
    void logsRead();
    // A file was dropped on the window to be opened as a log.
    void logFileDropped(const QString& path);
    // A file was written, or the chart printed, from the log of these records.
    void logExported(const QByteArray& raw, const QString& label, const QString& detail);

public slots:
    void BeginLoad();
    void TimerLoadTimer();
    void GoClick();

private slots:
    void N1_1RefreshClick();
    void N4Click();
    void N1SettingClick();
    void HotKeySysPage();
    void HotKeyServicePages();
    void HotKeyTestMode();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    void FormResize();
    void buildMenu();
    void buildPages(const TUserLimitsHolder& limits);
    void buildPanelLoad();
    void endPanelLoad();
    void showFreeMemory();
    void buildJobControls();
    void showJobRunning(bool running);
    void showLoadOutcome(const TLoadOutcome& outcome);
    void showDrivesLoad(TLoadResult& result);
    void showOpenedLog(const TLoadOutcome& outcome);
    void showLoad(TLoadResult& result);
    void showStoreRows();
    void listSources();
    bool ApplicationEventsMessage(const QKeyEvent& event);

    QMenuBar* MainMenu;
    QMenu* N1Source;
    QAction* N1_1Refresh;
    QAction* N1_2Separator;
    QList<QAction*> sourceItems_; // the accepted sources, after the separator
    QAction* N1;
    QMenu* N2;
    std::map<TOutputKind, QAction*> saveItems_;
    QAction* N4;
    QAction* N1Setting;
    QAction* N3;

    QTabWidget* PageControlData;
    QWidget* TabSheetGraph;
    TChartPage* chartPage_;
    QWidget* TabSheetTable;
    QWidget* TabSheetSys;
    TTablePage* tablePage_;
    TSysPage* sysPage_;
    QFrame* PanelLoad;
    QPushButton* ButtonLoadPercent;
    QTimer* TimerLoad;
    QLabel* StatusLine;
    TBackgroundJob* job_;
    TLogLoads* loads_;
    TJobControls* jobControls_;

    TLoggerConnection& connection_;
    std::unique_ptr<TMeasurementStore> measurementStore_;
    std::unique_ptr<TSourceList> loadedSources_;
    TRowTableModel* rowTable_;
    QString lastFreeMemoryText_;
    QString openedFileName_;
    QString statusBeforeJob_; // what the status line said as the running job began
};

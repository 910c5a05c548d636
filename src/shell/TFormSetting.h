#pragma once

#include "data/MeasurementLimits.h"
#include "settings/TDevicePage.h"
#include "shell/TToolWindow.h"

#include <QDateTime>
#include <QHash>

class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTimer;
class TCalibrationPage;
class TGeneralPage;
class TLoggerConnection;
class TLoggerPage;
class TWiFiPage;
struct TDeviceIdentity;
struct TEraseFacts;

// The settings window: the logger's configuration pages and the status list
// of the logger connection. It works whether shown or hidden.
class TFormSetting : public TToolWindow {
    Q_OBJECT
public:
    static constexpr int DateTimePeriodMs = 1000;

    TFormSetting(TLoggerConnection& connection, QWidget* mainWindow);
    ~TFormSetting() override;

    // The five service pages, in the order the service key switches them.
    QList<QWidget*> servicePages() const;
    bool pageVisible(QWidget* page) const;
    void setPageVisible(QWidget* page, bool visible);
    // The service key: the five pages follow the visibility of the General page.
    void toggleServicePages();

    void SetDeviceControlsEnabled(bool enabled);

    // Loads are kept in an archive: the erase question tells whether the
    // logger's log is there.
    void useArchive();
    // When the newest log the archive keeps under `label` (a drive's label
    // for a log read from the logger) was stored; invalid: none is kept.
    void noteNewestKept(const QString& label, const QDateTime& storedAt);

signals:
    // A read on the "Даталоггер" page got the logger's critical levels.
    void loggerLevelsRead(const TUserLimits& levels);
    // The erase question's "Сначала прочитать": the logger's log is to be loaded.
    void loggerLogReadRequested();
    // A write to the logger labelled `label` went through; `detail` says what it holds now.
    void loggerWritten(const QString& label, TLoggerChange change, const QString& detail);

private:
    void FormCreate();
    void showPageDefaults();
    void appendStatusLine(const QString& line);
    void showDoing(TDevicePage* page, const QString& doing);
    void showConnected(const TDeviceIdentity& identity);
    QList<QWidget*> deviceControls() const;
    TEraseFacts eraseFacts(const QString& label) const;
    // Tells the page's writes as loggerWritten, each under the connected
    // logger's label; `title` heads the detail of a calibration page's.
    void tellWrites(TDevicePage* page, const QString& title, const TLoggerConnection& connection);

    QTabWidget* PageControl;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    QWidget* TabSheet5;
    QWidget* TabSheet6;
    QListWidget* ListBox1;
    QTimer* TimerDateTime;
    TLoggerPage* loggerPage_;
    TWiFiPage* wifiPage_;
    TGeneralPage* generalPage_;
    TCalibrationPage* tempPage_;
    TCalibrationPage* humiPage_;
    TCalibrationPage* pressPage_;
    // The status list's last lines: what each page's running request does.
    QHash<TDevicePage*, QListWidgetItem*> doingLines_;
    bool archiveInUse_ = false;
    // When the newest log kept under each label was stored, as far as the
    // archive has told; invalid where it keeps none.
    QHash<QString, QDateTime> keptAt_;
};

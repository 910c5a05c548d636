#pragma once

#include "shell/TToolWindow.h"

#include <functional>
#include <memory>

class HidBackend;
class QListWidget;
class QTabWidget;
class QTimer;
class TDeviceLink;
class TCalibrationPage;
class TFormRead;
class TGeneralPage;
class TLoggerPage;
class TWiFiPage;

// The settings window: the logger's configuration pages, the status list and
// the timers of detection and live poll. It owns the device link and works
// whether shown or hidden.
class TFormSetting : public TToolWindow {
    Q_OBJECT
public:
    static constexpr int FirstDetectionDelayMs = 100;
    static constexpr int DetectionPeriodMs = 1000;
    static constexpr int SettleAfterDetectionMs = 500;
    static constexpr int DateTimePeriodMs = 1000;

    TFormSetting(TFormRead* formRead, std::unique_ptr<HidBackend> backend);
    ~TFormSetting() override;

    // Called on every new detection with whether the logger's series draws limit lines.
    void SetLimitSeriesHook(std::function<void(bool)> hook);

    QTabWidget* PageControl;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    QWidget* TabSheet5;
    QWidget* TabSheet6;
    QListWidget* ListBox1;
    QTimer* Timer1;
    QTimer* Timer2;
    QTimer* TimerDateTime;
    TLoggerPage* LoggerPage;
    TWiFiPage* WiFiPage;
    TGeneralPage* GeneralPage;
    TCalibrationPage* TempPage;
    TCalibrationPage* HumiPage;
    TCalibrationPage* PressPage;

    TDeviceLink& Link() { return *DeviceLink; }

    // The five service pages, in the order the service key switches them.
    QList<QWidget*> ServicePages() const;
    bool PageVisible(QWidget* page) const;
    void SetPageVisible(QWidget* page, bool visible);

    void SetDeviceControlsEnabled(bool enabled);

public slots:
    void Timer1Timer();

private:
    QWidget* addPage(const QString& objectName, const QString& caption);
    void FormCreate();
    void ShowPageDefaults();
    void AppendStatusLine(const QString& line);
    void AnnounceConnected();
    void AnnounceLost();
    QList<QWidget*> DeviceControls() const;

    TFormRead* FormRead;
    std::unique_ptr<TDeviceLink> DeviceLink;
    std::function<void(bool)> LimitSeriesHook;
};

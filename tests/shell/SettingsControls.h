#pragma once

#include "settings/TCalibrationPage.h"
#include "settings/TGeneralPage.h"
#include "settings/TLoggerPage.h"
#include "settings/TWiFiPage.h"

#include <QListWidget>
#include <QTabWidget>
#include <QTimer>

// The settings window's controls, found by their object names; a page is
// found inside the tab sheet that holds it.
struct SettingsControls {
    explicit SettingsControls(const QWidget& settings)
        : PageControl(settings.findChild<QTabWidget*>(QStringLiteral("PageControl")))
        , TabSheet1(sheet(settings, "TabSheet1"))
        , TabSheet2(sheet(settings, "TabSheet2"))
        , TabSheet3(sheet(settings, "TabSheet3"))
        , TabSheet4(sheet(settings, "TabSheet4"))
        , TabSheet5(sheet(settings, "TabSheet5"))
        , TabSheet6(sheet(settings, "TabSheet6"))
        , ListBox1(settings.findChild<QListWidget*>(QStringLiteral("ListBox1")))
        , TimerDateTime(settings.findChild<QTimer*>(QStringLiteral("TimerDateTime")))
        , LoggerPage(TabSheet1->findChild<TLoggerPage*>())
        , WiFiPage(TabSheet2->findChild<TWiFiPage*>())
        , GeneralPage(TabSheet3->findChild<TGeneralPage*>())
        , TempPage(TabSheet4->findChild<TCalibrationPage*>())
        , HumiPage(TabSheet5->findChild<TCalibrationPage*>())
        , PressPage(TabSheet6->findChild<TCalibrationPage*>())
    {
    }

    static QWidget* sheet(const QWidget& settings, const char* name)
    {
        return settings.findChild<QWidget*>(QLatin1StringView(name));
    }

    QTabWidget* PageControl;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QWidget* TabSheet4;
    QWidget* TabSheet5;
    QWidget* TabSheet6;
    QListWidget* ListBox1;
    QTimer* TimerDateTime;
    TLoggerPage* LoggerPage;
    TWiFiPage* WiFiPage;
    TGeneralPage* GeneralPage;
    TCalibrationPage* TempPage;
    TCalibrationPage* HumiPage;
    TCalibrationPage* PressPage;
};

#pragma once

#include "views/TChartPage.h"
#include "views/TSysPage.h"
#include "views/TTablePage.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

// The data viewer's controls, found by their object names.
struct ViewerControls {
    explicit ViewerControls(const QWidget& viewer)
        : MainMenu(named<QMenuBar>(viewer, "MainMenu"))
        , N1Source(named<QMenu>(viewer, "N1Source"))
        , N1_1Refresh(named<QAction>(viewer, "N1_1Refresh"))
        , N1_2Separator(named<QAction>(viewer, "N1_2Separator"))
        , N1(named<QAction>(viewer, "N1"))
        , N2(named<QMenu>(viewer, "N2"))
        , bmp1(named<QAction>(viewer, "bmp1"))
        , xls1(named<QAction>(viewer, "xls1"))
        , N4(named<QAction>(viewer, "N4"))
        , N1Setting(named<QAction>(viewer, "N1Setting"))
        , N3(named<QAction>(viewer, "N3"))
        , PageControlData(named<QTabWidget>(viewer, "PageControlData"))
        , TabSheetGraph(named<QWidget>(viewer, "TabSheetGraph"))
        , ChartPage(named<TChartPage>(viewer, "ChartPage"))
        , TabSheetTable(named<QWidget>(viewer, "TabSheetTable"))
        , TabSheetSys(named<QWidget>(viewer, "TabSheetSys"))
        , TablePage(named<TTablePage>(viewer, "TablePage"))
        , SysPage(named<TSysPage>(viewer, "SysPage"))
        , PanelLoad(named<QFrame>(viewer, "PanelLoad"))
        , ButtonLoadPercent(named<QPushButton>(viewer, "ButtonLoadPercent"))
        , TimerLoad(named<QTimer>(viewer, "TimerLoad"))
        , StatusLine(named<QLabel>(viewer, "StatusLine"))
        , JobProgress(named<QProgressBar>(viewer, "JobProgress"))
        , ButtonJobCancel(named<QPushButton>(viewer, "ButtonJobCancel"))
    {
    }

    QMenuBar* MainMenu;
    QMenu* N1Source;
    QAction* N1_1Refresh;
    QAction* N1_2Separator;
    QAction* N1;
    QMenu* N2;
    QAction* bmp1;
    QAction* xls1;
    QAction* N4;
    QAction* N1Setting;
    QAction* N3;
    QTabWidget* PageControlData;
    QWidget* TabSheetGraph;
    TChartPage* ChartPage;
    QWidget* TabSheetTable;
    QWidget* TabSheetSys;
    TTablePage* TablePage;
    TSysPage* SysPage;
    QFrame* PanelLoad;
    QPushButton* ButtonLoadPercent;
    QTimer* TimerLoad;
    QLabel* StatusLine;
    QProgressBar* JobProgress;
    QPushButton* ButtonJobCancel;

private:
    template <class Control>
    static Control* named(const QWidget& viewer, const char* name)
    {
        return viewer.findChild<Control*>(QLatin1StringView(name));
    }
};

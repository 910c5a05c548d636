#pragma once

#include "reports/SpreadsheetReport.h"
#include "shell/TBackgroundSave.h"

#include <QObject>

#include <functional>

class QAction;
class TFormMain;
enum class TOutputKind;
class TUserDialogs;
class TUserLimitsHolder;

// The ways the loaded data leave the program besides log files: the
// spreadsheet report of the whole log ("*.xls") or of the chart's chosen
// period ("*.xls (выбранный период)"), the PDF report ("*.pdf"), the chart
// as a bitmap ("*.bmp") and the printed chart ("Печать").
class TReportActions : public QObject {
    Q_OBJECT
public:
    // limits: the limits in use, which the reports' excursions count against;
    // deviceLabel: the shown log's label (its drive's or its file's name), printed in the report's header.
    TReportActions(TFormMain& formMain, TUserDialogs& dialogs, const TUserLimitsHolder& limits,
                   std::function<QString()> deviceLabel);

    QAction* pdfReportItem;
    QAction* periodReportItem;

public slots:
    void xls1Click();
    void savePdfReport();
    void savePeriodReport();
    void bmp1Click();
    void N1Click();

private:
    // Asks where to write the kind of file from `store`, then writes it on the worker.
    void save(TOutputKind kind, const TMeasurementStore& store, const TReportHeader& header);
    TReportHeader header() const;

    TFormMain& formMain_;
    TUserDialogs& dialogs_;
    const TUserLimitsHolder& limits_;
    std::function<QString()> deviceLabel_;
    TBackgroundSave saver_;
};

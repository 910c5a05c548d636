#pragma once

#include "reports/SpreadsheetReport.h"
#include "shell/TBackgroundSave.h"

#include <QObject>

#include <functional>

class QAction;
class TFormMain;
class TRowSpanView;
enum class TOutputKind;
class TUserDialogs;
class TUserLimitsHolder;

// The ways the loaded data leave the program besides log files: the
// spreadsheet and PDF reports of the whole log ("*.xls", "*.pdf") or of the
// chart's chosen period ("*.xls (выбранный период)", "*.pdf (выбранный
// период)"), the chart as a bitmap ("*.bmp") and the printed chart
// ("Печать"). A report's chart shows every row the report covers, whatever
// the window shows; the bitmap and the print are the chart as shown.
class TReportActions : public QObject {
    Q_OBJECT
public:
    // limits: the limits in use, which the reports' excursions count against;
    // deviceLabel: the shown log's label (its drive's or its file's name), printed in the report's header.
    TReportActions(TFormMain& formMain, TUserDialogs& dialogs, const TUserLimitsHolder& limits,
                   std::function<QString()> deviceLabel);

    QAction* pdfReportItem;
    QAction* periodReportItem;
    QAction* periodPdfReportItem;

public slots:
    void xls1Click();
    void savePdfReport();
    void savePeriodReport();
    void savePeriodPdfReport();
    void bmp1Click();
    void N1Click();

private:
    // The kind of report of the rows the chart's period holds, as a store of their own.
    void savePeriod(TOutputKind kind);
    // Asks where to write the kind of file from `store`, then writes it on the
    // worker; `period` is the chart's period the store holds, if it is one.
    void save(TOutputKind kind, const TMeasurementStore& store, const TReportHeader& header,
              const TRowSpanView* period = nullptr);
    TReportHeader header() const;

    TFormMain& formMain_;
    TUserDialogs& dialogs_;
    const TUserLimitsHolder& limits_;
    std::function<QString()> deviceLabel_;
    TBackgroundSave saver_;
};

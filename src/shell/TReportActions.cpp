#include "shell/TReportActions.h"

#include "chart/TChart.h"
#include "data/MeasurementStore.h"
#include "data/RowSpanView.h"
#include "data/UserLimitsHolder.h"
#include "reports/ChartOutput.h"
#include "reports/DatedFileName.h"
#include "reports/OutputFormats.h"
#include "shell/TFormMain.h"
#include "shell/TUserDialogs.h"
#include "text/FormatLocale.h"
#include "views/TChartPage.h"

#include <QAction>
#include <QDateTime>
#include <QPrinter>

TReportActions::TReportActions(TFormMain& formMain, TUserDialogs& dialogs, const TUserLimitsHolder& limits,
                               std::function<QString()> deviceLabel)
    : QObject(&formMain)
    , pdfReportItem(formMain.saveMenuAction(TOutputKind::Pdf))
    , periodReportItem(formMain.saveMenuAction(TOutputKind::PeriodSpreadsheet))
    , periodPdfReportItem(formMain.saveMenuAction(TOutputKind::PeriodPdf))
    , formMain_(formMain)
    , dialogs_(dialogs)
    , limits_(limits)
    , deviceLabel_(std::move(deviceLabel))
    , saver_(formMain, dialogs)
{
    connect(formMain_.saveMenuAction(TOutputKind::Spreadsheet), &QAction::triggered, this, &TReportActions::xls1Click);
    connect(formMain_.saveMenuAction(TOutputKind::Bitmap), &QAction::triggered, this, &TReportActions::bmp1Click);
    connect(&formMain_, &TFormMain::printRequested, this, &TReportActions::N1Click);
    connect(pdfReportItem, &QAction::triggered, this, &TReportActions::savePdfReport);
    connect(periodReportItem, &QAction::triggered, this, &TReportActions::savePeriodReport);
    connect(periodPdfReportItem, &QAction::triggered, this, &TReportActions::savePeriodPdfReport);
}

void TReportActions::xls1Click()
{
    save(TOutputKind::Spreadsheet, formMain_.store(), header());
}

void TReportActions::savePeriodReport()
{
    savePeriod(TOutputKind::PeriodSpreadsheet);
}

void TReportActions::savePeriodPdfReport()
{
    savePeriod(TOutputKind::PeriodPdf);
}

void TReportActions::savePeriod(TOutputKind kind)
{
    const TRowSpanView* period = formMain_.chartPeriod();
    if (!period || period->rowCount() == 0) {
        dialogs_.showError(&formMain_, QStringLiteral("Период не выбран: задайте его на странице «Графики» "
                                                      "и нажмите «Выбрать»"));
        return;
    }
    TMeasurementStore periodRows;
    periodRows.showRecords(period->recordList());
    TReportHeader periodHeader = header();
    periodHeader.periodOnly = true;
    save(kind, periodRows, periodHeader, period);
}

void TReportActions::savePdfReport()
{
    save(TOutputKind::Pdf, formMain_.store(), header());
}

void TReportActions::bmp1Click()
{
    save(TOutputKind::Bitmap, formMain_.store(), header());
}

// The file is proposed under today's date, so the dialog asks before a
// second report of the day replaces the first; the worker writes it.
void TReportActions::save(TOutputKind kind, const TMeasurementStore& store, const TReportHeader& header,
                          const TRowSpanView* period)
{
    // The chart's picture is the chart as shown, empty or not; a report of nothing is refused.
    if (kind != TOutputKind::Bitmap && !saver_.hasRowsToSave())
        return;
    const TOutputFormat& format = OutputFormatOf(kind);
    const QString path =
        dialogs_.saveFileName(&formMain_, DatedFileName(QDate::currentDate(), FormatLocale(), format.suffix), true);
    if (path.isEmpty())
        return;
    // A report's chart shows the report's rows, every one, labelled as the
    // window labels them; the bitmap is the chart as shown.
    std::unique_ptr<TReportChart> reportChart;
    if (format.paints && kind != TOutputKind::Bitmap)
        reportChart = period ? formMain_.reportChart(*period) : formMain_.reportChart(store);
    const TChart* chart = reportChart ? &reportChart->chart() : &formMain_.chart();
    saver_.run(path, format, {store, {}, chart, header});
}

void TReportActions::N1Click()
{
    QPrinter printer;
    if (!dialogs_.setUpPrinter(&formMain_, printer))
        return;
    TChart& chart = formMain_.chart();
    // A printer may print into a file instead of on paper.
    const QString target =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    if (PrintChart(chart, printer))
        formMain_.noteExported(formMain_.shownLog(), QStringLiteral("печать ") + target);
    else
        saver_.reportFailure(target, QStringLiteral("принтер не принял задание"));
    chart.update();
}

TReportHeader TReportActions::header() const
{
    return {QDateTime::currentDateTime(), deviceLabel_(), limits_.limits()};
}

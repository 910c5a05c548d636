#include "shell/TReportActions.h"

#include "chart/TChart.h"
#include "reports/ChartOutput.h"
#include "reports/DatedFileName.h"
#include "reports/PdfReport.h"
#include "reports/SpreadsheetReport.h"
#include "shell/TFormMain.h"
#include "shell/TUserDialogs.h"
#include "text/FormatLocale.h"

#include <QAction>
#include <QDateTime>
#include <QPrinter>

TReportActions::TReportActions(TFormMain& formMain, TUserDialogs& dialogs, std::function<QString()> deviceLabel)
    : QObject(&formMain)
    , pdf1(formMain.addSaveMenuAction(QStringLiteral("*.pdf")))
    , FormMain(formMain)
    , Dialogs(dialogs)
    , DeviceLabel(std::move(deviceLabel))
{
    connect(&FormMain, &TFormMain::spreadsheetRequested, this, &TReportActions::xls1Click);
    connect(&FormMain, &TFormMain::chartBitmapRequested, this, &TReportActions::bmp1Click);
    connect(&FormMain, &TFormMain::printRequested, this, &TReportActions::N1Click);
    pdf1->setObjectName(QStringLiteral("pdf1"));
    connect(pdf1, &QAction::triggered, this, &TReportActions::pdf1Click);
}

void TReportActions::xls1Click()
{
    const QString path = AskForFile(QStringLiteral("xlsx"));
    if (path.isEmpty())
        return;
    QString error;
    if (BuildSpreadsheetReport(FormMain.Store(), Header(), path, &error))
        FormMain.showSaved(path);
    else
        ReportFailure(path, error);
}

void TReportActions::pdf1Click()
{
    const QString path = AskForFile(QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    QString error;
    if (BuildPdfReport(FormMain.Store(), FormMain.chart(), Header(), path, &error))
        FormMain.showSaved(path);
    else
        ReportFailure(path, error);
}

void TReportActions::bmp1Click()
{
    const QString path = AskForFile(QStringLiteral("bmp"));
    if (path.isEmpty())
        return;
    QString error;
    if (SaveChartBitmap(FormMain.chart(), path, &error))
        FormMain.showSaved(path);
    else
        ReportFailure(path, error);
}

void TReportActions::N1Click()
{
    QPrinter printer;
    if (!Dialogs.SetUpPrinter(&FormMain, printer))
        return;
    TChart& chart = FormMain.chart();
    if (!PrintChart(chart, printer))
        ReportFailure(printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName(),
                      QStringLiteral("принтер не принял задание"));
    chart.update();
}

// The file to write, proposed under today's date, so the dialog asks before
// a second report of the day replaces the first; empty when the user cancelled.
QString TReportActions::AskForFile(const QString& extension)
{
    return Dialogs.SaveFileName(&FormMain, DatedFileName(QDate::currentDate(), FormatLocale(), extension), true);
}

TReportHeader TReportActions::Header() const
{
    return {QDateTime::currentDateTime(), DeviceLabel()};
}

void TReportActions::ReportFailure(const QString& path, const QString& reason)
{
    Dialogs.ShowError(&FormMain, QStringLiteral("Не удалось записать %1: %2").arg(path, reason));
}

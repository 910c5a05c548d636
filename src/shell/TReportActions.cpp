#include "shell/TReportActions.h"

#include "chart/TChart.h"
#include "data/FileSave.h"
#include "data/JobProgress.h"
#include "data/MeasurementStore.h"
#include "data/RowSpanView.h"
#include "data/UserLimitsHolder.h"
#include "reports/ChartOutput.h"
#include "reports/DatedFileName.h"
#include "reports/PdfReport.h"
#include "reports/SpreadsheetReport.h"
#include "shell/TFormMain.h"
#include "shell/TUserDialogs.h"
#include "text/FormatLocale.h"

#include <QAction>
#include <QBuffer>
#include <QDateTime>
#include <QPrinter>

TReportActions::TReportActions(TFormMain& formMain, TUserDialogs& dialogs, const TUserLimitsHolder& limits,
                               std::function<QString()> deviceLabel)
    : QObject(&formMain)
    , pdf1(formMain.addSaveMenuAction(QStringLiteral("*.pdf")))
    , xls2(formMain.addSaveMenuAction(QStringLiteral("*.xls (выбранный период)")))
    , formMain_(formMain)
    , dialogs_(dialogs)
    , limits_(limits)
    , deviceLabel_(std::move(deviceLabel))
    , saver_(formMain, dialogs)
{
    connect(&formMain_, &TFormMain::spreadsheetRequested, this, &TReportActions::xls1Click);
    connect(&formMain_, &TFormMain::chartBitmapRequested, this, &TReportActions::bmp1Click);
    connect(&formMain_, &TFormMain::printRequested, this, &TReportActions::N1Click);
    pdf1->setObjectName(QStringLiteral("pdf1"));
    connect(pdf1, &QAction::triggered, this, &TReportActions::pdf1Click);
    xls2->setObjectName(QStringLiteral("xls2"));
    connect(xls2, &QAction::triggered, this, &TReportActions::xls2Click);
}

void TReportActions::xls1Click()
{
    const QString path = askForFile(QStringLiteral("xlsx"));
    if (path.isEmpty())
        return;
    // The worker writes a copy: a load meanwhile replaces the viewer's store.
    saveSpreadsheet(path, std::make_shared<const TMeasurementStore>(formMain_.store()), header());
}

// The report of the rows the chart's period holds, as a store of their own.
void TReportActions::xls2Click()
{
    const TRowSpanView* period = formMain_.chartPeriod();
    if (!period || period->rowCount() == 0) {
        dialogs_.showError(&formMain_, QStringLiteral("Период не выбран: задайте его на странице «Графики» "
                                                      "и нажмите «Выбрать»"));
        return;
    }
    const QString path = askForFile(QStringLiteral("xlsx"));
    if (path.isEmpty())
        return;
    auto periodRows = std::make_shared<TMeasurementStore>();
    periodRows->showRecords(period->recordList());
    TReportHeader periodHeader = header();
    periodHeader.periodOnly = true;
    saveSpreadsheet(path, std::move(periodRows), periodHeader);
}

void TReportActions::saveSpreadsheet(const QString& path, std::shared_ptr<const TMeasurementStore> store,
                                     const TReportHeader& header)
{
    saver_.run(path, [store = std::move(store), header](const QString& target, QString* error,
                                                        TJobProgress& progress) {
        return BuildSpreadsheetReport(*store, header, target, error, SheetRowLimit, &progress);
    });
}

void TReportActions::pdf1Click()
{
    const QString path = askForFile(QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    // The chart paints only on the UI thread, and the document of a few pages
    // takes milliseconds there; the worker writes it to the file.
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    QString error;
    if (!WritePdfReport(formMain_.store(), formMain_.chart(), header(), document, &error)) {
        saver_.reportFailure(path, error);
        return;
    }
    saver_.run(path, [bytes = document.data()](const QString& target, QString* error, TJobProgress& progress) {
        progress.start(bytes.size());
        return SaveFile(
            target,
            [&bytes, &progress](QIODevice& device, QString* reason) {
                if (device.write(bytes) != bytes.size()) {
                    *reason = device.errorString();
                    return false;
                }
                return progress.reach(bytes.size());
            },
            error, &progress);
    });
}

void TReportActions::bmp1Click()
{
    const QString path = askForFile(QStringLiteral("bmp"));
    if (path.isEmpty())
        return;
    // The chart paints only on the UI thread; the worker writes its image.
    saver_.run(path, [image = ChartImage(formMain_.chart())](const QString& target, QString* error,
                                                             TJobProgress& progress) {
        return SaveFile(
            target, [&image](QIODevice& device, QString* reason) { return WriteBitmap(image, device, reason); }, error,
            &progress);
    });
}

void TReportActions::N1Click()
{
    QPrinter printer;
    if (!dialogs_.setUpPrinter(&formMain_, printer))
        return;
    TChart& chart = formMain_.chart();
    if (!PrintChart(chart, printer))
        saver_.reportFailure(printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName(),
                             QStringLiteral("принтер не принял задание"));
    chart.update();
}

// The file to write, proposed under today's date, so the dialog asks before
// a second report of the day replaces the first; empty when the user cancelled.
QString TReportActions::askForFile(const QString& extension)
{
    return dialogs_.saveFileName(&formMain_, DatedFileName(QDate::currentDate(), FormatLocale(), extension), true);
}

TReportHeader TReportActions::header() const
{
    return {QDateTime::currentDateTime(), deviceLabel_(), limits_.limits()};
}

#include "reports/OutputFormats.h"

#include "data/CsvExport.h"
#include "data/FileSave.h"
#include "data/JobProgress.h"
#include "data/LogExport.h"
#include "data/MeasurementStore.h"
#include "reports/ChartOutput.h"
#include "reports/PdfReport.h"

#include <QBuffer>
#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace {

using StreamWriter = std::function<bool(QIODevice&, QString*, TJobProgress*)>;

// A writer into a device, saved by the rule of data/FileSave.
TOutputJob streamed(StreamWriter write)
{
    return [write = std::move(write)](const QString& target, QString* error, TJobProgress* progress) {
        return SaveFile(
            target, [&write, progress](QIODevice& device, QString* reason) { return write(device, reason, progress); },
            error, progress);
    };
}

TOutputJob prepareBitmap(const TOutputSource& source, QString*)
{
    return streamed([image = ChartImage(*source.chart)](QIODevice& device, QString* error, TJobProgress*) {
        return WriteBitmap(image, device, error);
    });
}

TOutputJob prepareSpreadsheet(const TOutputSource& source, QString*)
{
    // A copy: a load meanwhile replaces the viewer's store.
    return [store = std::make_shared<const TMeasurementStore>(source.store),
            header = source.header](const QString& target, QString* error, TJobProgress* progress) {
        return BuildSpreadsheetReport(*store, header, target, error, SheetRowLimit, progress);
    };
}

TOutputJob prepareRawLog(const TOutputSource& source, QString*)
{
    // Shared, not copied: the records as read never change.
    return streamed([raw = source.rawRecords](QIODevice& device, QString* error, TJobProgress* progress) {
        return WriteRawLog(raw.records(), device, error, progress);
    });
}

TOutputJob prepareCsv(const TOutputSource& source, QString*)
{
    return streamed([store = std::make_shared<const TMeasurementStore>(source.store)](
                        QIODevice& device, QString* error, TJobProgress* progress) {
        return WriteCsv(*store, device, error, progress);
    });
}

// The document of a few pages takes milliseconds on the UI thread, where
// the chart paints; the job writes its bytes.
TOutputJob preparePdf(const TOutputSource& source, QString* error)
{
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    if (!WritePdfReport(source.store, *source.chart, source.header, document, error))
        return {};
    return streamed([bytes = document.data()](QIODevice& device, QString* reason, TJobProgress* progress) {
        if (progress)
            progress->start(bytes.size());
        if (device.write(bytes) != bytes.size()) {
            *reason = device.errorString();
            return false;
        }
        return !progress || progress->reach(bytes.size());
    });
}

} // namespace

const std::vector<TOutputFormat>& OutputFormats()
{
    // The command line writes its files in this order too: the plain ones first.
    static const std::vector<TOutputFormat> formats = {
        {TOutputKind::RawLog, QStringLiteral("LogCopyItem"), QStringLiteral("*.log"),
         QStringLiteral("Журнал прибора (*.log)"), QStringLiteral("log"), QString(), QString(), false, prepareRawLog},
        {TOutputKind::Csv, QStringLiteral("CsvItem"), QStringLiteral("*.csv"), QStringLiteral("CSV (*.csv)"),
         QStringLiteral("csv"), QStringLiteral("--csv"),
         QStringLiteral("every row of LOG as CSV (UTF-8, ISO 8601 times, '.' decimals)"), false, prepareCsv},
        {TOutputKind::Spreadsheet, QStringLiteral("xls1"), QStringLiteral("*.xls"),
         QStringLiteral("Отчёт Excel (*.xlsx)"), QStringLiteral("xlsx"), QStringLiteral("--xlsx"),
         QStringLiteral("the spreadsheet report of LOG"), false, prepareSpreadsheet},
        {TOutputKind::PeriodSpreadsheet, QStringLiteral("PeriodReportItem"), QStringLiteral("*.xls (выбранный период)"),
         QStringLiteral("Отчёт Excel (*.xlsx)"), QStringLiteral("xlsx"), QString(), QString(), false, prepareSpreadsheet},
        {TOutputKind::PeriodPdf, QStringLiteral("PeriodPdfReportItem"), QStringLiteral("*.pdf (выбранный период)"),
         QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"), QString(), QString(), true, preparePdf},
        {TOutputKind::Pdf, QStringLiteral("PdfReportItem"), QStringLiteral("*.pdf"), QStringLiteral("PDF (*.pdf)"),
         QStringLiteral("pdf"), QStringLiteral("--pdf"), QStringLiteral("the PDF report of LOG"), true, preparePdf},
        {TOutputKind::Bitmap, QStringLiteral("bmp1"), QStringLiteral("*.bmp"), QStringLiteral("Рисунок BMP (*.bmp)"),
         QStringLiteral("bmp"), QStringLiteral("--bmp"),
         QStringLiteral("the chart of every row of LOG as the window draws it, 1280x720, as a bitmap"), true, prepareBitmap},
    };
    return formats;
}

const TOutputFormat& OutputFormatOf(TOutputKind kind)
{
    const std::vector<TOutputFormat>& formats = OutputFormats();
    return *std::find_if(formats.begin(), formats.end(), [kind](const TOutputFormat& format) {
        return format.kind == kind;
    });
}

const TOutputFormat* OutputFormatWithSuffix(const QString& suffix)
{
    for (const TOutputFormat& format : OutputFormats()) {
        if (format.suffix.compare(suffix, Qt::CaseInsensitive) == 0)
            return &format;
    }
    return nullptr;
}

QString OutputFileDetail(const TOutputFormat& format, const QString& path)
{
    return format.suffix + QLatin1Char(' ') + QFileInfo(path).absoluteFilePath();
}

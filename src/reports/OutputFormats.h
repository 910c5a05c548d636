#pragma once

#include "data/RawRecords.h"
#include "reports/SpreadsheetReport.h"

#include <QString>

#include <functional>
#include <vector>

class TChart;
class TJobProgress;
class TMeasurementStore;

// The kinds of file the loaded data leave the program as.
enum class TOutputKind { RawLog, Csv, Spreadsheet, PeriodSpreadsheet, PeriodPdf, Pdf, Bitmap };

// What a file is written from, as the UI thread holds it: the rows (the
// whole log's or a period's), the shown source's records as read, the chart
// (needed only by the formats that paint: a report's shows every one of its
// rows, the bitmap the window's as shown) and the reports' header.
struct TOutputSource {
    const TMeasurementStore& store;
    TRawRecords rawRecords;
    const TChart* chart;
    TReportHeader header;
};

// Writes the file at `target` by the saving rule of data/FileSave, from data
// of its own, so any thread may run it; `progress` is null on the command
// line. Answers whether the file is in place; `error` says why not.
using TOutputJob = std::function<bool(const QString& target, QString* error, TJobProgress* progress)>;

// One kind of file: its item in "Сохранить ...", the save dialog's filter
// and suffix, the command line's option and how it is written.
struct TOutputFormat {
    TOutputKind kind;
    QString actionName; // the menu item's object name
    QString caption;    // the menu item
    QString filter;     // the save dialog's filter
    QString suffix;     // the dialog's default suffix, and that of the proposed name
    QString flag;       // the command line's option; none where empty
    QString flagHelp;   // its line in --help
    bool paints;        // drawn with the chart, which needs a GUI application
    // On the UI thread, takes what the job needs: a copy of the store (its
    // records shared), the records or the chart painted, which only that
    // thread may do. An empty job when that fails, `error` saying why.
    TOutputJob (*prepare)(const TOutputSource& source, QString* error);
};

// Every kind, in the order of the menu's items.
const std::vector<TOutputFormat>& OutputFormats();
const TOutputFormat& OutputFormatOf(TOutputKind kind);
// The first kind written with the suffix (case aside); null for a suffix the program does not write.
const TOutputFormat* OutputFormatWithSuffix(const QString& suffix);
// How the archive's trail names a file written in the format, from the
// window or the command line alike: "xlsx /folder/report.xlsx".
QString OutputFileDetail(const TOutputFormat& format, const QString& path);

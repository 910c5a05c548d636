#pragma once

#include "data/MeasurementLimits.h"

#include <QDateTime>
#include <QString>

class TJobProgress;
class TMeasurementStore;

// What the report's header says besides the data: when it was made, for
// which logger (the label of the log's drive, or its file name), the levels
// its excursions count against and whether the rows are a period of the log.
struct TReportHeader {
    QDateTime madeAt;
    QString deviceLabel;
    TUserLimits limits = {};
    bool periodOnly = false;
};

// The report's title: of the whole log or of a chosen period.
QString ReportTitle(const TReportHeader& header);

// The most rows a worksheet holds; tests pass a small one.
constexpr qint64 SheetRowLimit = 1048576;

// The most disk space a report of that many rows takes while it is written:
// the library's temporary files and the file itself.
qint64 SpreadsheetReportSpace(qint64 rows, qint64 rowsPerSheet = SheetRowLimit);

// Writes the spreadsheet report of every row of the store as an .xlsx file:
// first the summary sheet "Сводка" (title, device, statistics, limits, mean
// kinetic temperature and excursions), then the data sheet with the header
// line, the three statistics lines, the formatted table and the
// metrologist's signature line. Rows that do not fit on the first data sheet
// go on to further sheets, each beginning with the table's header row. Every
// sheet prints one A4 page wide in landscape, its header row on every page. Memory
// stays flat whatever the rows. The file is saved by FileSave's rule, the
// library's temporary files beside it, and a disk without the space the
// report needs is refused before anything is written. Before the file is put
// in place it is read back, and one that lacks a row is an error. Answers whether the
// file was written; `error` says why not. A cancel through `progress` stops
// the writing and leaves no file.
bool BuildSpreadsheetReport(const TMeasurementStore& store, const TReportHeader& header, const QString& path,
                            QString* error, qint64 rowsPerSheet = SheetRowLimit, TJobProgress* progress = nullptr);

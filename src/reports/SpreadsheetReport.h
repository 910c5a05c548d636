#pragma once

#include <QDateTime>
#include <QString>

class TJobProgress;
class TMeasurementStore;

// What the report's header says besides the data: when it was made and for
// which logger (its drive label, empty when no logger was detected).
struct TReportHeader {
    QDateTime madeAt;
    QString deviceLabel;
};

// The most rows a worksheet holds; tests pass a small one.
constexpr qint64 SheetRowLimit = 1048576;

// The disk space a report of that many rows needs while it is written: the
// library's temporary files and the file itself.
qint64 SpreadsheetReportSpace(qint64 rows);

// Writes the spreadsheet report of every row of the store as an .xlsx file:
// the header line, the three statistics lines, the formatted table and the
// metrologist's signature line. Rows that do not fit on the first sheet go
// on to further sheets, each beginning with the table's header row. Memory
// stays flat whatever the rows. The file is saved by FileSave's rule, the
// library's temporary files beside it, and a disk without the space the
// report needs is refused before anything is written. Answers whether the
// file was written; `error` says why not. A cancel through `progress` stops
// the writing and leaves no file.
bool BuildSpreadsheetReport(const TMeasurementStore& store, const TReportHeader& header, const QString& path,
                            QString* error, qint64 rowsPerSheet = SheetRowLimit, TJobProgress* progress = nullptr);

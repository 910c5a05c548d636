#pragma once

#include <QString>

#include <vector>

class TJobProgress;

// A sheet a finished book must hold whole: its part in the package
// ("xl/worksheets/sheet2.xml"), the caption it is named by in a message,
// and the number of its last row as the sheet counts them (from 1).
struct TExpectedSheet {
    QString part;
    QString caption;
    quint32 lastRow = 0;
};

// The stretch of a job's progress a step fills: `span` steps from `from`.
struct TProgressSpan {
    TJobProgress* progress = nullptr;
    qint64 from = 0;
    qint64 span = 0;
};

// Reads a finished .xlsx file back, sheet by sheet: each sheet's part must
// unpack to the size and checksum its package records, its XML must end
// whole, and its last row must be the expected one. The spreadsheet
// library zips what its temporary files hold without looking at whether
// they were written whole, so only this tells a complete book from one cut
// short by a full disk. The packed bytes read fill `progress`, whose cancel
// stops the check. Answers whether the book
// is whole; `error` says which sheet is not, or why the file cannot be read.
bool CheckWorkbook(const QString& path, const std::vector<TExpectedSheet>& sheets, QString* error,
                   const TProgressSpan& progress = {});

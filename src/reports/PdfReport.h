#pragma once

#include "reports/SpreadsheetReport.h"

class QIODevice;
class TChart;
struct TTextTable;

// Writes the report of every row of the store as a PDF of one page or more:
// a title line (whole log or period, device label, first and last row), the
// spreadsheet report's header (date, time, device), every statistics line,
// the chart, which draws the same rows, all of them, captioned with their
// first and last moment, and the metrologist's signature line. Texts stay
// texts and the chart is drawn by its own painting code, so the file is
// searchable and sharp at any zoom. Answers whether everything was written;
// `error` says why not.
bool WritePdfReport(const TMeasurementStore& store, const TChart& chart, const TReportHeader& header,
                    QIODevice& device, QString* error);

// Writes a table as a PDF, on pages turned sideways for its width: the title,
// a line saying what the table holds, then the table, its captions repeated
// atop every page. Answers whether everything was written; `error` says why not.
bool WritePdfTable(const QString& title, const QString& subtitle, const TTextTable& table, QIODevice& device,
                   QString* error);

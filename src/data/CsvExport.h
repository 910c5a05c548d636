#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;
class TJobProgress;
class TMeasurementStore;
struct TTextTable;

// One line of the program's CSV: every field in double quotes (a quote
// within doubled), separated by commas, in UTF-8, ended by a line feed.
QByteArray CsvLine(const QStringList& fields);

// Writes every data row of the store as UTF-8 CSV: a header, then per row its
// number, its moment as ISO 8601 local time, temperature, humidity and
// pressure with "." whatever the locale (empty where the channel is absent),
// and the interval in seconds. Rows are formatted into a small buffer and
// streamed out, so a log of tens of millions of rows needs no more memory
// than one of ten. Answers whether everything was written; `error` says why
// not. A cancel through `progress` stops the writing.
bool WriteCsv(const TMeasurementStore& store, QIODevice& device, QString* error, TJobProgress* progress = nullptr);

// Writes a table of texts as UTF-8 CSV, its captions as the header, every
// field quoted by CsvLine. Answers whether everything was written; `error`
// says why not. A cancel through `progress` stops the writing.
bool WriteCsvTable(const TTextTable& table, QIODevice& device, QString* error, TJobProgress* progress = nullptr);

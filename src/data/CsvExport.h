#pragma once

#include <QString>

class QIODevice;
class TJobProgress;
class TMeasurementStore;

// Writes every data row of the store as UTF-8 CSV: a header, then per row its
// number, its moment as ISO 8601 local time, temperature, humidity and
// pressure with "." whatever the locale (empty where the channel is absent),
// and the interval in seconds. Rows are formatted into a small buffer and
// streamed out, so a log of tens of millions of rows needs no more memory
// than one of ten. Answers whether everything was written; `error` says why
// not. A cancel through `progress` stops the writing.
bool WriteCsv(const TMeasurementStore& store, QIODevice& device, QString* error, TJobProgress* progress = nullptr);

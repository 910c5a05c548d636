#pragma once

#include "data/LogRecord.h"
#include "data/RawRecords.h"
#include "data/RecordList.h"

#include <QByteArray>

// What the logger measures, in tenths of a degree Celsius, of a percent of
// relative humidity and of a kPa: a value beyond these its sensors never give.
inline constexpr int LoggedTemperatureMin = -600;
inline constexpr int LoggedTemperatureMax = 1250;
inline constexpr int LoggedHumidityMin = 0;
inline constexpr int LoggedHumidityMax = 1000;
inline constexpr int LoggedPressureMin = 0;
inline constexpr int LoggedPressureMax = 1500;

// What bytes hold, by their whole records (a partial last one is not
// judged). Records after the last written one that are all 0x00 or all 0xFF
// bytes are memory the logger has not written yet and are left out: bytes
// with nothing else are `Unwritten`. Of the others, at least one, and at
// least half, must be records the logger could have written for a `Log`; a
// log with a few bad records between good ones is one, a picture, a text or
// random bytes are `NotALog`.
// `decoded` holds the valid records of `raw`, so each record's date is
// checked once, by decoding.
enum class TLogContent { Log, Unwritten, NotALog };
TLogContent LogContentOf(const TRawRecords& raw, const TRecordList& decoded);
// The same for bytes not decoded yet.
TLogContent LogContentOf(const QByteArray& bytes, int currentYear);

inline bool IsLoggerLog(const QByteArray& bytes, int currentYear)
{
    return LogContentOf(bytes, currentYear) == TLogContent::Log;
}

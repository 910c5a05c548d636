#pragma once

#include <QtGlobal>

#include <optional>

class TDeviceLink;

// Questions to the logger that more than one window asks. Each logs its
// success line; on a failure the link has logged it.

// The device number register.
std::optional<qint32> ReadDeviceNumber(TDeviceLink& link);
// Whole 16-byte records in the log memory in use.
std::optional<qint64> ReadLogRecordCount(TDeviceLink& link);

#pragma once

#include <QString>

#include <array>
#include <optional>
#include <vector>

// A simulated logger's live readings over time, for showing and testing
// what the monitor does as a room warms or a logger falls silent: each step
// holds from its moment until the next one, the last one for ever.
struct TScriptedReading {
    qint64 fromMs = 0;
    // Temperature, humidity and pressure in tenths, as channels 0 to 2 read
    // them; none: the logger answers no reading request.
    std::optional<std::array<qint32, 3>> tenths;
};
using TReadingScript = std::vector<TScriptedReading>;

// Reads a script's text: one step a line, "SECONDS TEMPERATURE HUMIDITY
// PRESSURE" (°C, %, kPa; '.' or ',' as the decimal sign) or "SECONDS silent";
// the seconds count from the script's start and grow from line to line;
// blank lines and lines from '#' are skipped. None, with the line at fault
// in `error`, when the text is no script.
std::optional<TReadingScript> ParseReadingScript(const QString& text, QString* error);

// The step in force `elapsedMs` after the script's start; none before its first step.
const TScriptedReading* ScriptedReadingAt(const TReadingScript& script, qint64 elapsedMs);

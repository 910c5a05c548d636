#pragma once

#include <QSize>
#include <QStringList>

class QTextStream;
struct CommandLine;
struct TLoadResult;

// The chart's size in --bmp, and in the chart of --pdf.
inline constexpr QSize ChartOutputSize(1280, 720);

// --export: reads a saved log and writes the asked files without a window.
// Answers the process's exit code: 0 when every file was written, 1 after a
// one-line error on `errors`.
int RunExport(const CommandLine& commandLine, QTextStream& errors);

// Writes the files of the output formats' options (--csv, --xlsx, --pdf,
// --bmp) from a loaded log, the reports headed with the device label and
// counting against the user's limits of the settings file: refused when the
// load failed, or left records out without --allow-truncated. Answers the
// process's exit code, 0 or 1 after a one-line error on `errors`; `written`
// gets "csv FILE", "xlsx FILE", ... for each file that was written. A format
// that paints (--pdf, --bmp) needs a QApplication.
int ExportLoadedLog(TLoadResult& loaded, const QString& name, const CommandLine& commandLine,
                    const QString& deviceLabel, QTextStream& errors, QStringList* written);

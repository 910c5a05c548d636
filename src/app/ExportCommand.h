#pragma once

#include <QStringList>

class QTextStream;
struct CommandLine;
struct TLoadResult;

// --export: reads a saved log and writes the asked files without a window.
// Answers the process's exit code: 0 when every file was written, 1 after a
// one-line error on `errors`.
int RunExport(const CommandLine& commandLine, QTextStream& errors);

// Writes the --csv and --xlsx files of the command line from a loaded log,
// the report headed with the device label: refused when the load failed, or
// left records out without --allow-truncated. Answers the process's exit
// code, 0 or 1 after a one-line error on `errors`; `written` gets
// "csv FILE" or "xlsx FILE" for each file that was written.
int ExportLoadedLog(TLoadResult& loaded, const QString& name, const CommandLine& commandLine,
                    const QString& deviceLabel, QTextStream& errors, QStringList* written);

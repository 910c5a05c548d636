#pragma once

#include <QStringList>

class QTextStream;
class TMeasurementStore;
struct CommandLine;

// --export: reads a saved log and writes the asked files without a window.
// Answers the process's exit code: 0 when every file was written, 1 after a
// one-line error on `errors`.
int RunExport(const CommandLine& commandLine, QTextStream& errors);

// Writes the --csv and --xlsx files of the command line from the store, the
// report headed with the device label. Answers whether every file was
// written, after a one-line error on `errors` when not; `written` gets
// "csv FILE" or "xlsx FILE" for each file that was.
bool WriteExportFiles(const TMeasurementStore& store, const CommandLine& commandLine, const QString& deviceLabel,
                      QTextStream& errors, QStringList* written);

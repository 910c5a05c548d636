#pragma once

class QTextStream;
struct CommandLine;

// --export: reads a saved log and writes the asked files without a window.
// Answers the process's exit code: 0 when every file was written, 1 after a
// one-line error on `errors`.
int RunExport(const CommandLine& commandLine, QTextStream& errors);

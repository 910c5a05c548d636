#pragma once

class QTextStream;
struct CommandLine;

// --archive-import, --archive-list, --archive-export and --archive-backup:
// work on the archive without a window. Answers the process's exit code: 0
// when all went well, 1 after an error line on `errors` for each thing that
// did not.
int RunArchiveCommand(const CommandLine& commandLine, QTextStream& out, QTextStream& errors);

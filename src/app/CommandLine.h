#pragma once

#include <QString>
#include <QStringList>

// What the program was asked to do on its command line.
struct CommandLine {
    bool simulate = false;
    QString simulatedLog;  // --simulate=FILE: the simulated logger's data.log
    QString exportLog;     // --export LOG: write files from this log and exit, no window
    QString csvFile;       // --csv FILE
    QString xlsxFile;      // --xlsx FILE
    bool help = false;
    QString error;         // non-empty when the arguments could not be understood

    bool exports() const { return !exportLog.isEmpty(); }

    static CommandLine parse(const QStringList& arguments);
    static QString usage();
};

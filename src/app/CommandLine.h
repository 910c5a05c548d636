#pragma once

#include "data/Loader.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>

enum class TOutputKind;

// What the program was asked to do on its command line.
struct CommandLine {
    bool simulate = false;
    QString simulatedLog;  // --simulate=FILE: the simulated logger's data.log
    QString simulatedReadings;  // --simulate-readings=FILE: its live readings' script
    QString exportLog;     // --export LOG: write files from this log and exit, no window
    std::map<TOutputKind, QString> outputs; // the output formats' options: --csv FILE, --pdf FILE, ...
    QString archiveUrl;    // --archive=URL: the archive to use instead of the user's own file
    QString archiveImport; // --archive-import DIR: archive every *.log under DIR and exit
    bool archiveList = false; // --archive-list: print the archive's entries and exit
    qint64 archiveExport = 0; // --archive-export ID: write files from this archived log and exit
    bool archiveVerify = false; // --archive-verify: check the trail's chain and every log's records
    bool archiveEvents = false; // --archive-events: print the trail, filtered by these two
    QString eventsDevice;       // --device LABEL
    std::optional<qint64> eventsSince; // --since DATE: UTC seconds of local midnight or time DATE
    QString archiveBackup; // --archive-backup FILE: write a copy of the whole archive and exit
    bool archivePassword = false; // --archive-password: keep the server's password from stdin in the secret store
    QString openLog;       // FILE: a saved log shown in the data viewer at start
    bool allowTruncated = false;  // --allow-truncated: export what fits of a log too long to hold
    // Records one load holds; no argument sets it: tests shorten it to give a
    // log longer than one load without writing 64 MB.
    qint64 recordLimit = LoadRecordLimit;
    bool help = false;
    QString error;         // non-empty when the arguments could not be understood

    bool exports() const { return !exportLog.isEmpty(); }
    bool archiveCommand() const
    {
        return !archiveImport.isEmpty() || archiveList || archiveExport > 0 || archiveVerify || archiveEvents
               || !archiveBackup.isEmpty() || archivePassword;
    }
    // The file asked for the kind of output; empty when none.
    QString output(TOutputKind kind) const;
    // Whether an asked output is drawn with the chart (--pdf, --bmp).
    bool paints() const;

    static CommandLine parse(const QStringList& arguments);
    static QString usage();
};

#include "app/CommandLine.h"

namespace {

// The value after an option that takes one; empty when it is missing.
QString valueAfter(const QStringList& arguments, qsizetype& i)
{
    if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QLatin1String("--")))
        return {};
    return arguments[++i];
}

}  // namespace

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine line;
    const QString simulateWithFile = QStringLiteral("--simulate=");
    const QString archiveAt = QStringLiteral("--archive=");
    for (qsizetype i = 1; i < arguments.size() && line.error.isEmpty(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.help = true;
        } else if (argument == QLatin1String("--allow-truncated")) {
            line.allowTruncated = true;
        } else if (argument == QLatin1String("--simulate")) {
            line.simulate = true;
        } else if (argument.startsWith(simulateWithFile) && argument.size() > simulateWithFile.size()) {
            line.simulate = true;
            line.simulatedLog = argument.mid(simulateWithFile.size());
        } else if (argument.startsWith(archiveAt) && argument.size() > archiveAt.size()) {
            line.archiveUrl = argument.mid(archiveAt.size());
        } else if (argument == QLatin1String("--archive-list")) {
            line.archiveList = true;
        } else if (argument == QLatin1String("--archive-export")) {
            bool number = false;
            line.archiveExport = valueAfter(arguments, i).toLongLong(&number);
            if (!number || line.archiveExport <= 0)
                line.error = QStringLiteral("--archive-export needs the number of an entry of --archive-list");
        } else if (argument == QLatin1String("--archive-import")) {
            line.archiveImport = valueAfter(arguments, i);
            if (line.archiveImport.isEmpty())
                line.error = QStringLiteral("--archive-import needs a folder");
        } else if (QString* target = argument == QLatin1String("--export") ? &line.exportLog
                                     : argument == QLatin1String("--csv")  ? &line.csvFile
                                     : argument == QLatin1String("--xlsx") ? &line.xlsxFile
                                                                           : nullptr) {
            *target = valueAfter(arguments, i);
            if (target->isEmpty())
                line.error = QStringLiteral("%1 needs a file name").arg(argument);
        } else if (!argument.startsWith(u'-') && line.openLog.isEmpty()) {
            line.openLog = argument;
        } else {
            line.error = QStringLiteral("unknown argument: %1").arg(argument);
        }
    }
    const int commands = int(line.exports()) + int(!line.archiveImport.isEmpty()) + int(line.archiveList)
                         + int(line.archiveExport > 0);
    const bool outputs = !line.csvFile.isEmpty() || !line.xlsxFile.isEmpty();
    if (!line.error.isEmpty())
        return line;
    if (commands > 1)
        line.error = QStringLiteral("--export, --archive-import, --archive-list and --archive-export go one at a time");
    else if ((line.exports() || line.archiveExport > 0) != outputs)
        line.error = QStringLiteral("--export LOG and --archive-export ID go with --csv FILE, --xlsx FILE or both");
    else if (commands > 0 && !line.openLog.isEmpty())
        line.error = QStringLiteral("a log to show goes without --export and the archive verbs");
    return line;
}

QString CommandLine::usage()
{
    return QStringLiteral(
        "Usage: korvi-monitor [--simulate[=FILE]] [LOG]\n"
        "       korvi-monitor --export LOG [--csv FILE] [--xlsx FILE] [--allow-truncated]\n"
        "       korvi-monitor [--archive=URL] --archive-import DIR | --archive-list\n"
        "       korvi-monitor [--archive=URL] --archive-export ID [--csv FILE] [--xlsx FILE]\n"
        "Companion of the KORVI USB temperature, humidity and pressure logger.\n"
        "\n"
        "  --simulate          run with a simulated logger instead of USB hardware\n"
        "  --simulate=FILE     the same, with a copy of FILE as the simulated logger's data.log\n"
        "  LOG                 show the saved log LOG in the data viewer at start\n"
        "  --export LOG        read the saved log LOG and write the files below, without a window\n"
        "  --csv FILE          every row of LOG as CSV (UTF-8, ISO 8601 times, '.' decimals)\n"
        "  --xlsx FILE         the spreadsheet report of LOG\n"
        "  --archive=URL       the archive: postgresql://user@host[:port]/db, or an SQLite file\n"
        "                      (default: archive.sqlite in the user's application data folder)\n"
        "  --archive-import DIR  keep every *.log under DIR in the archive\n"
        "  --archive-list      print the archive's entries, newest first\n"
        "  --archive-export ID write the files of --csv and --xlsx from the archived log ID\n"
        "                      FILE may be - for standard output, a pipe or a device\n"
        "  --allow-truncated   export the records that fit of a log longer than the logger's memory\n"
        "  --help              show this text and exit\n");
}

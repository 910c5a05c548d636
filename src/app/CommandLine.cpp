#include "app/CommandLine.h"

#include "archive/TArchiveLocation.h"
#include "reports/OutputFormats.h"

#include <QDateTime>

#include <algorithm>

namespace {

// The value after an option that takes one; empty when it is missing.
QString valueAfter(const QStringList& arguments, qsizetype& i)
{
    if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QLatin1String("--")))
        return {};
    return arguments[++i];
}

// The output format whose option the argument is; null for any other argument.
const TOutputFormat* formatWithFlag(const QString& argument)
{
    for (const TOutputFormat& format : OutputFormats()) {
        if (!format.flag.isEmpty() && format.flag == argument)
            return &format;
    }
    return nullptr;
}

// The output options as usage lines name them: "--csv FILE, --xlsx FILE, --pdf FILE or --bmp FILE".
QString outputOptions(const QString& lastJoiner)
{
    QStringList options;
    for (const TOutputFormat& format : OutputFormats()) {
        if (!format.flag.isEmpty())
            options << format.flag + QStringLiteral(" FILE");
    }
    const QString last = options.takeLast();
    return options.join(QStringLiteral(", ")) + lastJoiner + last;
}

// A date (local midnight) or a local date and time as UTC seconds; nullopt
// for anything else.
std::optional<qint64> sinceSeconds(const QString& value)
{
    QDateTime since = QDateTime::fromString(value, Qt::ISODate);
    if (!since.isValid())
        since = QDate::fromString(value, Qt::ISODate).startOfDay();
    return since.isValid() ? std::optional<qint64>(since.toSecsSinceEpoch()) : std::nullopt;
}

}  // namespace

QString CommandLine::output(TOutputKind kind) const
{
    const auto found = outputs.find(kind);
    return found == outputs.end() ? QString() : found->second;
}

bool CommandLine::paints() const
{
    return std::any_of(outputs.begin(), outputs.end(),
                       [](const auto& output) { return OutputFormatOf(output.first).paints; });
}

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine line;
    const QString simulateWithFile = QStringLiteral("--simulate=");
    const QString simulateReadings = QStringLiteral("--simulate-readings=");
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
        } else if (argument.startsWith(simulateReadings) && argument.size() > simulateReadings.size()) {
            line.simulate = true;
            line.simulatedReadings = argument.mid(simulateReadings.size());
        } else if (argument.startsWith(archiveAt) && argument.size() > archiveAt.size()) {
            line.archiveUrl = argument.mid(archiveAt.size());
        } else if (argument == QLatin1String("--archive-list")) {
            line.archiveList = true;
        } else if (argument == QLatin1String("--archive-password")) {
            line.archivePassword = true;
        } else if (argument == QLatin1String("--archive-export")) {
            bool number = false;
            line.archiveExport = valueAfter(arguments, i).toLongLong(&number);
            if (!number || line.archiveExport <= 0)
                line.error = QStringLiteral("--archive-export needs the number of an entry of --archive-list");
        } else if (argument == QLatin1String("--archive-verify")) {
            line.archiveVerify = true;
        } else if (argument == QLatin1String("--archive-events")) {
            line.archiveEvents = true;
        } else if (argument == QLatin1String("--device")) {
            line.eventsDevice = valueAfter(arguments, i);
            if (line.eventsDevice.isEmpty())
                line.error = QStringLiteral("--device needs a logger's label of --archive-list");
        } else if (argument == QLatin1String("--since")) {
            line.eventsSince = sinceSeconds(valueAfter(arguments, i));
            if (!line.eventsSince)
                line.error = QStringLiteral("--since needs a date, YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS");
        } else if (argument == QLatin1String("--archive-import")) {
            line.archiveImport = valueAfter(arguments, i);
            if (line.archiveImport.isEmpty())
                line.error = QStringLiteral("--archive-import needs a folder");
        } else if (argument == QLatin1String("--archive-backup")) {
            line.archiveBackup = valueAfter(arguments, i);
            if (line.archiveBackup.isEmpty())
                line.error = QStringLiteral("--archive-backup needs a file name");
        } else if (const TOutputFormat* format = formatWithFlag(argument);
                   format || argument == QLatin1String("--export")) {
            const QString file = valueAfter(arguments, i);
            if (file.isEmpty())
                line.error = QStringLiteral("%1 needs a file name").arg(argument);
            else
                (format ? line.outputs[format->kind] : line.exportLog) = file;
        } else if (!argument.startsWith(u'-') && line.openLog.isEmpty()) {
            line.openLog = argument;
        } else {
            line.error = QStringLiteral("unknown argument: %1").arg(argument);
        }
    }
    const int commands = int(line.exports()) + int(!line.archiveImport.isEmpty()) + int(line.archiveList)
                         + int(line.archiveExport > 0) + int(line.archiveVerify) + int(line.archiveEvents)
                         + int(!line.archiveBackup.isEmpty()) + int(line.archivePassword);
    const bool outputs = !line.outputs.empty();
    if (!line.error.isEmpty())
        return line;
    if (commands > 1)
        line.error = QStringLiteral("--export and the archive verbs go one at a time");
    else if ((!line.eventsDevice.isEmpty() || line.eventsSince) && !line.archiveEvents)
        line.error = QStringLiteral("--device and --since go with --archive-events");
    else if ((line.exports() || line.archiveExport > 0) != outputs)
        line.error = QStringLiteral("--export LOG and --archive-export ID go with %1, or more of them")
                         .arg(outputOptions(QStringLiteral(" or ")));
    else if (commands > 0 && !line.openLog.isEmpty())
        line.error = QStringLiteral("a log to show goes without --export and the archive verbs");
    return line;
}

QString CommandLine::usage()
{
    QString outputUsage;
    QString outputLines;
    for (const TOutputFormat& format : OutputFormats()) {
        if (format.flag.isEmpty())
            continue;
        outputUsage += QStringLiteral(" [%1 FILE]").arg(format.flag);
        outputLines += QStringLiteral("  %1%2\n").arg(format.flag + QStringLiteral(" FILE"), -20).arg(format.flagHelp);
    }
    return QStringLiteral(
               "Usage: korvi-monitor [--simulate[=FILE]] [--simulate-readings=SCRIPT] [LOG]\n"
               "       korvi-monitor --export LOG%1 [--allow-truncated]\n"
               "       korvi-monitor [--archive=URL] --archive-import DIR | --archive-list\n"
               "       korvi-monitor [--archive=URL] --archive-export ID%1\n"
               "       korvi-monitor [--archive=URL] --archive-verify\n"
               "       korvi-monitor [--archive=URL] --archive-events [--device LABEL] [--since DATE]\n"
               "       korvi-monitor [--archive=URL] --archive-backup FILE\n"
               "       korvi-monitor [--archive=URL] --archive-password\n"
               "Companion of the KORVI USB temperature, humidity and pressure logger.\n"
               "\n"
               "  --simulate          run with a simulated logger instead of USB hardware\n"
               "  --simulate=FILE     the same, with a copy of FILE as the simulated logger's data.log\n"
               "  --simulate-readings=SCRIPT  the simulated logger's live readings from SCRIPT, one\n"
               "                      line a step: SECONDS TEMPERATURE HUMIDITY PRESSURE (°C, %, kPa)\n"
               "                      or SECONDS silent, seconds from the program's start\n"
               "  LOG                 show the saved log LOG in the data viewer at start\n"
               "  --export LOG        read the saved log LOG and write the files below, without a window\n"
               "%2"
               "  --archive=URL       the archive: postgresql://user@host[:port]/db[?PARAMETERS], or an\n"
               "                      SQLite file (default: archive.sqlite in the user's application\n"
               "                      data folder); PARAMETERS, joined by &: timeout=SECONDS (how long\n"
               "                      one statement may run) and libpq's\n"
               "                      %4\n"
               "                      A password in the URL is refused: the server's password comes\n"
               "                      from ~/.pgpass (or PGPASSFILE), else from the secret store\n"
               "  --archive-import DIR  keep every *.log under DIR in the archive\n"
               "  --archive-list      print the archive's entries, newest first\n"
               "  --archive-export ID write the files above from the archived log ID\n"
               "                      FILE may be - for standard output, a pipe or a device\n"
               "  --archive-verify    check that no event of the trail and no archived log was changed\n"
               "  --archive-events    print the trail of events, newest first; only those of the\n"
               "                      logger LABEL (--device), or since DATE (--since YYYY-MM-DD)\n"
               "  --archive-backup FILE  write a consistent copy of an SQLite archive into FILE;\n"
               "                      a PostgreSQL archive is backed up with pg_dump\n"
               "  --archive-password  keep the server's password, read from standard input, in the\n"
               "                      desktop's secret store\n"
               "  --allow-truncated   export the first %3 records of a log longer than that\n"
               "  --help              show this text and exit\n")
        .arg(outputUsage, outputLines)
        .arg(LoadRecordLimit)
        .arg(PassedLibpqParameters().join(QStringLiteral(", ")));
}

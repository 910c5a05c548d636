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
    for (qsizetype i = 1; i < arguments.size() && line.error.isEmpty(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.help = true;
        } else if (argument == QLatin1String("--simulate")) {
            line.simulate = true;
        } else if (argument.startsWith(simulateWithFile) && argument.size() > simulateWithFile.size()) {
            line.simulate = true;
            line.simulatedLog = argument.mid(simulateWithFile.size());
        } else if (QString* target = argument == QLatin1String("--export") ? &line.exportLog
                                     : argument == QLatin1String("--csv")  ? &line.csvFile
                                     : argument == QLatin1String("--xlsx") ? &line.xlsxFile
                                                                           : nullptr) {
            *target = valueAfter(arguments, i);
            if (target->isEmpty())
                line.error = QStringLiteral("%1 needs a file name").arg(argument);
        } else {
            line.error = QStringLiteral("unknown argument: %1").arg(argument);
        }
    }
    const bool outputs = !line.csvFile.isEmpty() || !line.xlsxFile.isEmpty();
    if (line.error.isEmpty() && line.exports() != outputs)
        line.error = QStringLiteral("--export LOG goes with --csv FILE, --xlsx FILE or both");
    return line;
}

QString CommandLine::usage()
{
    return QStringLiteral(
        "Usage: korvi-monitor [--simulate[=FILE]]\n"
        "       korvi-monitor --export LOG [--csv FILE] [--xlsx FILE]\n"
        "Companion of the KORVI USB temperature, humidity and pressure logger.\n"
        "\n"
        "  --simulate          run with a simulated logger instead of USB hardware\n"
        "  --simulate=FILE     the same, with a copy of FILE as the simulated logger's data.log\n"
        "  --export LOG        read the saved log LOG and write the files below, without a window\n"
        "  --csv FILE          every row of LOG as CSV (UTF-8, ISO 8601 times, '.' decimals)\n"
        "  --xlsx FILE         the spreadsheet report of LOG\n"
        "  --help              show this text and exit\n");
}

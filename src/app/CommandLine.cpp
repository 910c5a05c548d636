#include "app/CommandLine.h"

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine line;
    const QString simulateWithFile = QStringLiteral("--simulate=");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.help = true;
        } else if (argument == QLatin1String("--simulate")) {
            line.simulate = true;
        } else if (argument.startsWith(simulateWithFile) && argument.size() > simulateWithFile.size()) {
            line.simulate = true;
            line.simulatedLog = argument.mid(simulateWithFile.size());
        } else {
            line.error = QStringLiteral("unknown argument: %1").arg(argument);
            return line;
        }
    }
    return line;
}

QString CommandLine::usage()
{
    return QStringLiteral(
        "Usage: korvi-monitor [--simulate[=FILE]] [--help]\n"
        "Companion of the KORVI USB temperature, humidity and pressure logger.\n"
        "\n"
        "  --simulate        run with a simulated logger instead of USB hardware\n"
        "  --simulate=FILE   the same, with a copy of FILE as the simulated logger's data.log\n"
        "  --help            show this text and exit\n");
}

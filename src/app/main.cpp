#include "app/ArchiveCommand.h"
#include "app/CommandLine.h"
#include "app/ExportCommand.h"
#include "app/SimulatedPlatform.h"
#include "app/TKorviApplication.h"
#include "data/StorageVolumeSource.h"
#include "data/SystemFile.h"
#include "device/HidapiBackend.h"
#include "shell/TApplicationWindows.h"

#include <QApplication>
#include <QTextStream>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

namespace {

// How long the archive may go on storing the last logs after the windows close.
constexpr std::chrono::seconds ArchiveGrace{3};

// A verb's error output holds only its own Russian lines: the English notes
// of Qt's offscreen platform ("XDG_RUNTIME_DIR not set", ...) are dropped,
// and only what ends the program in Qt still reaches it.
void keepQtNotesOffErrors(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fputs(qPrintable(qFormatLogMessage(type, context, message) + u'\n'), stderr);
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine = CommandLine::parse(arguments);
    if (commandLine.help || !commandLine.error.isEmpty()) {
        QTextStream out(commandLine.help ? stdout : stderr);
        if (!commandLine.error.isEmpty())
            out << commandLine.error << '\n';
        out << CommandLine::usage();
        return commandLine.help ? 0 : 1;
    }

    if (commandLine.exports() || commandLine.archiveCommand()) {
        IgnoreBrokenPipes();
        // The chart of --pdf and --bmp paints only under a GUI application. It
        // draws into an image or a document, never on a screen, so it always
        // runs on the offscreen platform: the same on a machine without X or
        // Wayland as on a desktop, and never stopped by a display it cannot open.
        if (commandLine.paints()) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            qInstallMessageHandler(keepQtNotesOffErrors);
        }
        const std::unique_ptr<QCoreApplication> application =
            commandLine.paints() ? std::make_unique<QApplication>(argc, argv)
                                 : std::make_unique<QCoreApplication>(argc, argv);
        application->setApplicationName(QStringLiteral("korvi-monitor")); // the archive's folder, as the windows use
        QTextStream out(stdout);
        QTextStream errors(stderr);
        return commandLine.exports() ? RunExport(commandLine, errors) : RunArchiveCommand(commandLine, out, errors);
    }

    TKorviApplication application(argc, argv);
    // An error while the windows are made, or one that leaves the message
    // loop, is shown and ends the program quietly.
    try {
        std::unique_ptr<SimulatedPlatform> simulated;
        TPlatform platform;
        if (commandLine.simulate) {
            simulated = std::make_unique<SimulatedPlatform>(commandLine.simulatedLog, commandLine.simulatedReadings);
            platform = simulated->takePlatform();
        } else {
            platform = {std::make_unique<HidapiBackend>(), std::make_unique<StorageVolumeSource>()};
        }
        QString archiveError;
        platform.archive = TArchiveLocation::chosen(commandLine.archiveUrl, &archiveError);
        if (!platform.archive)
            platform.archiveUnavailable = archiveError + QStringLiteral("; программа работает без архива");
        TApplicationWindows windows(std::move(platform));
        windows.showMainWindow();
        if (!commandLine.openLog.isEmpty())
            windows.openLog(commandLine.openLog);
        const int status = application.exec();
        const QString unstored = windows.finishArchiving(ArchiveGrace);
        if (unstored.isEmpty())
            return status;
        // The archive's thread still waits for its server, and a running
        // thread may not be destroyed: the program ends here, without its
        // destructors, as it would when killed; the user is told which logs
        // wait in the archive's queue for the next start.
        QTextStream(stderr) << unstored << Qt::endl;
        std::fflush(nullptr);
        std::_Exit(1);
    } catch (const std::exception& error) {
        TKorviApplication::ShowErrorBox(QString::fromUtf8(error.what()));
    } catch (...) {
        TKorviApplication::ShowErrorBox(QString());
    }
    return 1;
}

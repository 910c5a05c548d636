#include "app/ExportCommand.h"

#include "app/CommandLine.h"
#include "data/CsvExport.h"
#include "data/FileSave.h"
#include "data/FolderVolumeSource.h"
#include "data/LoadTexts.h"
#include "data/Loader.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"
#include "reports/SpreadsheetReport.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether the output is the log itself, by whatever name it is reached: a
// link, a hard link, a bind mount, or another case of the name on a drive
// that ignores case all lead to the same file of the same device. The log
// may be the only copy once the logger is erased.
bool isTheLog(const QString& output, const QString& log)
{
    struct stat logFile {};
    struct stat outputFile {};
    if (::stat(QFile::encodeName(log).constData(), &logFile) != 0)
        return false;
    const int found = output == QLatin1String("-") ? ::fstat(STDOUT_FILENO, &outputFile)
                                                   : ::stat(QFile::encodeName(output).constData(), &outputFile);
    return found == 0 && outputFile.st_dev == logFile.st_dev && outputFile.st_ino == logFile.st_ino;
}

bool writeExportFiles(const TMeasurementStore& store, const CommandLine& commandLine, const QString& deviceLabel,
                      QTextStream& errors, QStringList* written)
{
    struct Output {
        const char* kind;
        const QString& path;
        std::function<bool(QString*)> write;
    };
    const Output outputs[] = {
        {"csv", commandLine.csvFile,
         [&](QString* error) {
             return SaveFile(
                 commandLine.csvFile,
                 [&store](QIODevice& device, QString* reason) { return WriteCsv(store, device, reason); }, error);
         }},
        {"xlsx", commandLine.xlsxFile,
         [&](QString* error) {
             return BuildSpreadsheetReport(store, {QDateTime::currentDateTime(), deviceLabel}, commandLine.xlsxFile,
                                           error);
         }},
    };
    for (const Output& output : outputs) {
        QString error;
        if (output.path.isEmpty())
            continue;
        if (!output.write(&error)) {
            errors << QStringLiteral("korvi-monitor: не удалось записать ") << output.path << ": " << error << '\n';
            return false;
        }
        if (written)
            written->append(QLatin1String(output.kind) + QLatin1Char(' ') + QFileInfo(output.path).absoluteFilePath());
    }
    return true;
}

}  // namespace

int RunExport(const CommandLine& commandLine, QTextStream& errors)
{
    const QString& log = commandLine.exportLog;
    for (const QString& output : {commandLine.csvFile, commandLine.xlsxFile}) {
        if (!output.isEmpty() && isTheLog(output, log)) {
            errors << "korvi-monitor: " << output << QStringLiteral(" — это сам журнал, он не будет перезаписан\n");
            return 2;
        }
    }

    const FolderVolumeSource noVolumes;
    TLoadRequest request;
    request.recordLimit = commandLine.recordLimit;
    TLoadResult loaded = TLoader(noVolumes).loadFile(log, request);
    return ExportLoadedLog(loaded, log, commandLine, QString(), errors, nullptr);
}

int ExportLoadedLog(TLoadResult& loaded, const QString& name, const CommandLine& commandLine,
                    const QString& deviceLabel, QTextStream& errors, QStringList* written)
{
    if (!loaded.failure.isEmpty()) {
        errors << "korvi-monitor: " << loaded.failure << '\n';
        return 1;
    }
    if (loaded.partialRecordBytes > 0) {
        errors << "korvi-monitor: " << name
               << QStringLiteral(" кончается %1 байт, которые не составляют целой записи; они пропущены\n")
                      .arg(loaded.partialRecordBytes);
    }
    if (loaded.leftOutRecords > 0) {
        errors << "korvi-monitor: " << name << ": "
               << LeftOutRecordsText(loaded.leftOutRecords, loaded.recordLimit) << '\n';
        if (!commandLine.allowTruncated) {
            errors << QStringLiteral("korvi-monitor: ничего не записано; --allow-truncated записывает прочитанное\n");
            return 1;
        }
    }

    TMeasurementStore store;
    TSourceList(store).adopt(loaded);
    return writeExportFiles(store, commandLine, deviceLabel, errors, written) ? 0 : 1;
}

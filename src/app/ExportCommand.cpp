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
#include <QFileInfo>
#include <QTextStream>

#include <functional>

namespace {

// Whether the output names the log itself, directly or through a link: the
// log may be the only copy once the logger is erased.
bool isTheLog(const QString& output, const QString& log)
{
    const QString canonicalLog = QFileInfo(log).canonicalFilePath();
    return !canonicalLog.isEmpty() && QFileInfo(output).canonicalFilePath() == canonicalLog;
}

}  // namespace

int RunExport(const CommandLine& commandLine, QTextStream& errors)
{
    const QString& log = commandLine.exportLog;
    for (const QString& output : {commandLine.csvFile, commandLine.xlsxFile}) {
        if (isTheLog(output, log)) {
            errors << "korvi-monitor: " << output << QStringLiteral(" — это сам журнал, он не будет перезаписан\n");
            return 2;
        }
    }

    const FolderVolumeSource noVolumes;
    TLoadResult report = TLoader(noVolumes).loadFile(log, TLoadRequest());
    if (!report.failure.isEmpty()) {
        errors << "korvi-monitor: " << report.failure << '\n';
        return 1;
    }
    if (report.partialRecordBytes > 0) {
        errors << "korvi-monitor: " << log
               << QStringLiteral(" кончается %1 байт, которые не составляют целой записи; они пропущены\n")
                      .arg(report.partialRecordBytes);
    }
    if (report.leftOutRecords > 0) {
        errors << "korvi-monitor: " << log << ": "
               << LeftOutRecordsText(report.leftOutRecords, TRawRecordBuffer::Capacity) << '\n';
        if (!commandLine.allowTruncated) {
            errors << QStringLiteral("korvi-monitor: ничего не записано; --allow-truncated записывает прочитанное\n");
            return 1;
        }
    }

    TMeasurementStore store;
    TSourceList(store).adopt(report);
    return WriteExportFiles(store, commandLine, QString(), errors, nullptr) ? 0 : 1;
}

bool WriteExportFiles(const TMeasurementStore& store, const CommandLine& commandLine, const QString& deviceLabel,
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

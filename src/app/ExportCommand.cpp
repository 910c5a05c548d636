#include "app/ExportCommand.h"

#include "app/CommandLine.h"
#include "data/CsvExport.h"
#include "data/FolderVolumeSource.h"
#include "data/Loader.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"
#include "reports/SpreadsheetReport.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <functional>

namespace {

bool writeCsvFile(const TMeasurementStore& store, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && WriteCsv(store, file, error) && file.commit())
        return true;
    if (error->isEmpty())
        *error = file.errorString();
    return false;
}

}  // namespace

int RunExport(const CommandLine& commandLine, QTextStream& errors)
{
    const FolderVolumeSource noVolumes;
    TLoadResult report = TLoader(noVolumes).loadFile(commandLine.exportLog, TLoadRequest());
    if (!report.failure.isEmpty()) {
        errors << "korvi-monitor: " << report.failure << '\n';
        return 1;
    }
    if (report.partialRecordBytes > 0) {
        errors << "korvi-monitor: " << commandLine.exportLog << " ends in " << report.partialRecordBytes
               << " bytes that are not a whole record; they were left out\n";
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
         [&](QString* error) { return writeCsvFile(store, commandLine.csvFile, error); }},
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
            errors << "korvi-monitor: cannot write " << output.path << ": " << error << '\n';
            return false;
        }
        if (written)
            written->append(QLatin1String(output.kind) + QLatin1Char(' ') + QFileInfo(output.path).absoluteFilePath());
    }
    return true;
}

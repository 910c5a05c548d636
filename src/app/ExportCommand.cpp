#include "app/ExportCommand.h"

#include "app/CommandLine.h"
#include "data/CsvExport.h"
#include "data/FolderVolumeSource.h"
#include "data/Loader.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"
#include "reports/SpreadsheetReport.h"

#include <QDateTime>
#include <QSaveFile>
#include <QTextStream>

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

    QString error;
    if (!commandLine.csvFile.isEmpty() && !writeCsvFile(store, commandLine.csvFile, &error)) {
        errors << "korvi-monitor: cannot write " << commandLine.csvFile << ": " << error << '\n';
        return 1;
    }
    if (!commandLine.xlsxFile.isEmpty()
        && !BuildSpreadsheetReport(store, {QDateTime::currentDateTime(), QString()}, commandLine.xlsxFile, &error)) {
        errors << "korvi-monitor: cannot write " << commandLine.xlsxFile << ": " << error << '\n';
        return 1;
    }
    return 0;
}

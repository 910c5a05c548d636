#include "app/ExportCommand.h"

#include "app/CommandLine.h"
#include "data/CsvExport.h"
#include "data/FolderVolumeSource.h"
#include "data/Loader.h"
#include "data/MeasurementStore.h"

#include <QSaveFile>
#include <QTextStream>

int RunExport(const CommandLine& commandLine, QTextStream& errors)
{
    TMeasurementStore store;
    const FolderVolumeSource noVolumes;
    const TLoadReport report = TLoader(store, noVolumes).OpenFile(commandLine.exportLog, TLoadRequest());
    if (!report.failure.isEmpty()) {
        errors << "korvi-monitor: cannot read " << commandLine.exportLog << ": " << report.failure << '\n';
        return 1;
    }
    if (report.partialRecordBytes > 0) {
        errors << "korvi-monitor: " << commandLine.exportLog << " ends in " << report.partialRecordBytes
               << " bytes that are not a whole record; they were left out\n";
    }

    QSaveFile csv(commandLine.csvFile);
    QString error;
    if (!csv.open(QIODevice::WriteOnly) || !WriteCsv(store, csv, &error) || !csv.commit()) {
        errors << "korvi-monitor: cannot write " << commandLine.csvFile << ": "
               << (error.isEmpty() ? csv.errorString() : error) << '\n';
        return 1;
    }
    return 0;
}

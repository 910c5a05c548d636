#include "app/ExportCommand.h"

#include "app/CommandLine.h"
#include "chart/TChart.h"
#include "data/FolderVolumeSource.h"
#include "data/LoadTexts.h"
#include "data/Loader.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"
#include "data/UserLimitsHolder.h"
#include "data/UserLimitsSettings.h"
#include "reports/OutputFormats.h"
#include "views/TChartPage.h"

#include <QDateTime>
#include <QFile>
#include <QTextStream>

#include <memory>

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

// The chart as the data viewer draws it, over every row of the log, at the
// size of the command line's bitmap; needs a GUI application.
std::unique_ptr<TReportChart> wholeLogChart(const TMeasurementStore& store, const TUserLimitsHolder& limits)
{
    const TChartPage page(store, limits);
    return page.reportChart(store, ChartOutputSize);
}

// Writes each output the command line asks for, in the formats' order,
// with the user's limits as the settings file keeps them.
bool writeExportFiles(const TMeasurementStore& store, const TRawRecords& rawRecords,
                      const CommandLine& commandLine, const QString& deviceLabel, QTextStream& errors,
                      QStringList* written)
{
    const TUserLimitsHolder limits(StoredUserLimits(*ProgramSettings()));
    std::unique_ptr<TReportChart> chart;
    for (const TOutputFormat& format : OutputFormats()) {
        const QString path = commandLine.output(format.kind);
        if (path.isEmpty())
            continue;
        if (format.paints && !chart)
            chart = wholeLogChart(store, limits);
        const TOutputSource source{store, rawRecords, chart ? &chart->chart() : nullptr,
                                   {QDateTime::currentDateTime(), deviceLabel, limits.limits()}};
        QString error;
        const TOutputJob job = format.prepare(source, &error);
        if (!job || !job(path, &error, nullptr)) {
            errors << QStringLiteral("korvi-monitor: не удалось записать ") << path << ": " << error << '\n';
            return false;
        }
        if (written)
            written->append(OutputFileDetail(format, path));
    }
    return true;
}

}  // namespace

int RunExport(const CommandLine& commandLine, QTextStream& errors)
{
    const QString& log = commandLine.exportLog;
    for (const auto& [kind, output] : commandLine.outputs) {
        if (isTheLog(output, log)) {
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
    TSourceList sources(store);
    sources.adopt(loaded);
    return writeExportFiles(store, sources.shownRaw(), commandLine, deviceLabel, errors, written) ? 0 : 1;
}

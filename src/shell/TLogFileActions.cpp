#include "shell/TLogFileActions.h"

#include "data/CsvExport.h"
#include "data/FileSave.h"
#include "data/LogExport.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"
#include "shell/TFormMain.h"
#include "shell/TUserDialogs.h"

#include <QAction>
#include <QFileInfo>

TLogFileActions::TLogFileActions(TFormMain& formMain, TUserDialogs& dialogs, std::function<QString()> deviceLabel)
    : QObject(&formMain)
    , N1_3Open(formMain.addSourceMenuAction(QStringLiteral("Открыть файл...")))
    , log1(formMain.addSaveMenuAction(QStringLiteral("*.log")))
    , csv1(formMain.addSaveMenuAction(QStringLiteral("*.csv")))
    , formMain_(formMain)
    , dialogs_(dialogs)
    , deviceLabel_(std::move(deviceLabel))
    , saver_(formMain, dialogs)
{
    N1_3Open->setObjectName(QStringLiteral("N1_3Open"));
    log1->setObjectName(QStringLiteral("log1"));
    csv1->setObjectName(QStringLiteral("csv1"));
    connect(N1_3Open, &QAction::triggered, this, &TLogFileActions::N1_3OpenClick);
    connect(log1, &QAction::triggered, this, &TLogFileActions::log1Click);
    connect(csv1, &QAction::triggered, this, &TLogFileActions::csv1Click);
    connect(&formMain_, &TFormMain::logFileDropped, this, &TLogFileActions::openLog);
}

void TLogFileActions::N1_3OpenClick()
{
    const QString path = dialogs_.openFileName(&formMain_, QStringLiteral("Открыть файл журнала"));
    if (!path.isEmpty())
        openLog(path);
}

void TLogFileActions::openLog(const QString& path)
{
    formMain_.openLogFile(path, this, [this](const QString& failure) {
        if (!failure.isEmpty())
            dialogs_.showError(&formMain_, failure);
    });
}

void TLogFileActions::log1Click()
{
    const std::span<const TLogRecord> shown = formMain_.sources().shownRawRecords();
    auto records = std::make_shared<const std::vector<TLogRecord>>(shown.begin(), shown.end());
    saveAs(QStringLiteral("log"), [records](QIODevice& file, QString* error, TJobProgress& progress) {
        return WriteRawLog(*records, file, error, &progress);
    });
}

void TLogFileActions::csv1Click()
{
    auto store = std::make_shared<const TMeasurementStore>(formMain_.store());
    saveAs(QStringLiteral("csv"), [store](QIODevice& file, QString* error, TJobProgress& progress) {
        return WriteCsv(*store, file, error, &progress);
    });
}

void TLogFileActions::saveAs(const QString& extension, Writer write)
{
    const QString path =
        dialogs_.saveFileName(&formMain_, ExportFileName(nameStem(), formMain_.store(), extension), true);
    if (path.isEmpty())
        return;
    saver_.run(path, [write = std::move(write)](const QString& target, QString* error, TJobProgress& progress) {
        return SaveFile(
            target, [&write, &progress](QIODevice& file, QString* reason) { return write(file, reason, progress); },
            error, &progress);
    });
}

QString TLogFileActions::nameStem() const
{
    if (!formMain_.openedFile().isEmpty())
        return QFileInfo(formMain_.openedFile()).completeBaseName();
    return deviceLabel_();
}

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
    , FormMain(formMain)
    , Dialogs(dialogs)
    , DeviceLabel(std::move(deviceLabel))
    , Saver(formMain, dialogs)
{
    N1_3Open->setObjectName(QStringLiteral("N1_3Open"));
    log1->setObjectName(QStringLiteral("log1"));
    csv1->setObjectName(QStringLiteral("csv1"));
    connect(N1_3Open, &QAction::triggered, this, &TLogFileActions::N1_3OpenClick);
    connect(log1, &QAction::triggered, this, &TLogFileActions::log1Click);
    connect(csv1, &QAction::triggered, this, &TLogFileActions::csv1Click);
    connect(&FormMain, &TFormMain::logFileDropped, this, &TLogFileActions::OpenLog);
}

void TLogFileActions::N1_3OpenClick()
{
    const QString path = Dialogs.OpenFileName(&FormMain, QStringLiteral("Открыть файл журнала"));
    if (!path.isEmpty())
        OpenLog(path);
}

void TLogFileActions::OpenLog(const QString& path)
{
    QString failure;
    if (!FormMain.OpenLogFile(path, &failure) && !failure.isEmpty())
        Dialogs.ShowError(&FormMain, failure);
}

void TLogFileActions::log1Click()
{
    const std::span<const TLogRecord> shown = FormMain.Sources().shownRawRecords();
    auto records = std::make_shared<const std::vector<TLogRecord>>(shown.begin(), shown.end());
    SaveAs(QStringLiteral("log"), [records](QIODevice& file, QString* error, TJobProgress& progress) {
        return WriteRawLog(*records, file, error, &progress);
    });
}

void TLogFileActions::csv1Click()
{
    auto store = std::make_shared<const TMeasurementStore>(FormMain.Store());
    SaveAs(QStringLiteral("csv"), [store](QIODevice& file, QString* error, TJobProgress& progress) {
        return WriteCsv(*store, file, error, &progress);
    });
}

void TLogFileActions::SaveAs(const QString& extension, Writer write)
{
    const QString path =
        Dialogs.SaveFileName(&FormMain, ExportFileName(NameStem(), FormMain.Store(), extension), true);
    if (path.isEmpty())
        return;
    Saver.run(path, [write = std::move(write)](const QString& target, QString* error, TJobProgress& progress) {
        return SaveFile(
            target, [&write, &progress](QIODevice& file, QString* reason) { return write(file, reason, progress); },
            error);
    });
}

QString TLogFileActions::NameStem() const
{
    if (!FormMain.OpenedFile().isEmpty())
        return QFileInfo(FormMain.OpenedFile()).completeBaseName();
    return DeviceLabel();
}

#include "shell/TLogFileActions.h"

#include "data/CsvExport.h"
#include "data/FileSave.h"
#include "data/LogExport.h"
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
    if (!FormMain.OpenLogFile(path, &failure))
        Dialogs.ShowError(&FormMain, failure);
}

void TLogFileActions::log1Click()
{
    SaveAs(QStringLiteral("log"), [this](QIODevice& file, QString* error) {
        return WriteRawLog(FormMain.Sources(), file, error);
    });
}

void TLogFileActions::csv1Click()
{
    SaveAs(QStringLiteral("csv"), [this](QIODevice& file, QString* error) {
        return WriteCsv(FormMain.Store(), file, error);
    });
}

void TLogFileActions::SaveAs(const QString& extension, const Writer& write)
{
    const QString path =
        Dialogs.SaveFileName(&FormMain, ExportFileName(NameStem(), FormMain.Store(), extension), true);
    if (path.isEmpty())
        return;
    QString error;
    if (SaveFile(path, write, &error))
        FormMain.showSaved(path);
    else
        Dialogs.ShowError(&FormMain, QStringLiteral("Не удалось записать %1: %2").arg(path, error));
}

QString TLogFileActions::NameStem() const
{
    if (!FormMain.OpenedFile().isEmpty())
        return QFileInfo(FormMain.OpenedFile()).completeBaseName();
    return DeviceLabel();
}

#include "shell/TLogFileActions.h"

#include "data/LogExport.h"
#include "data/MeasurementStore.h"
#include "data/SourceList.h"
#include "reports/OutputFormats.h"
#include "shell/TFormMain.h"
#include "shell/TUserDialogs.h"

#include <QAction>
#include <QFileInfo>

TLogFileActions::TLogFileActions(TFormMain& formMain, TUserDialogs& dialogs, std::function<QString()> deviceLabel)
    : QObject(&formMain)
    , openFileItem(formMain.addSourceMenuAction(QStringLiteral("Открыть файл...")))
    , logCopyItem(formMain.saveMenuAction(TOutputKind::RawLog))
    , csvItem(formMain.saveMenuAction(TOutputKind::Csv))
    , formMain_(formMain)
    , dialogs_(dialogs)
    , deviceLabel_(std::move(deviceLabel))
    , saver_(formMain, dialogs)
{
    openFileItem->setObjectName(QStringLiteral("OpenFileItem"));
    connect(openFileItem, &QAction::triggered, this, &TLogFileActions::chooseLogFile);
    connect(logCopyItem, &QAction::triggered, this, &TLogFileActions::saveLogCopy);
    connect(csvItem, &QAction::triggered, this, &TLogFileActions::saveCsv);
    connect(&formMain_, &TFormMain::logFileDropped, this, &TLogFileActions::openLog);
}

void TLogFileActions::chooseLogFile()
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

void TLogFileActions::saveLogCopy()
{
    saveAs(TOutputKind::RawLog);
}

void TLogFileActions::saveCsv()
{
    saveAs(TOutputKind::Csv);
}

// The worker writes from a copy of the shown log's records or rows.
void TLogFileActions::saveAs(TOutputKind kind)
{
    if (!saver_.hasRowsToSave())
        return;
    const TOutputFormat& format = OutputFormatOf(kind);
    const QString path =
        dialogs_.saveFileName(&formMain_, ExportFileName(nameStem(), formMain_.store(), format.suffix), true);
    if (path.isEmpty())
        return;
    saver_.run(path, format, {formMain_.store(), formMain_.sources().shownRaw(), &formMain_.chart(), {}});
}

QString TLogFileActions::nameStem() const
{
    if (!formMain_.openedFile().isEmpty())
        return QFileInfo(formMain_.openedFile()).completeBaseName();
    return deviceLabel_();
}

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
    , N1_3Open(formMain.addSourceMenuAction(QStringLiteral("Открыть файл...")))
    , log1(formMain.saveMenuAction(TOutputKind::RawLog))
    , csv1(formMain.saveMenuAction(TOutputKind::Csv))
    , formMain_(formMain)
    , dialogs_(dialogs)
    , deviceLabel_(std::move(deviceLabel))
    , saver_(formMain, dialogs)
{
    N1_3Open->setObjectName(QStringLiteral("N1_3Open"));
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
    saveAs(TOutputKind::RawLog);
}

void TLogFileActions::csv1Click()
{
    saveAs(TOutputKind::Csv);
}

// The worker writes from a copy of the shown log's records or rows.
void TLogFileActions::saveAs(TOutputKind kind)
{
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

#include "shell/FileDialogSetup.h"

#include "reports/OutputFormats.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace FileDialogSetup {

namespace {

const QString LastFolderKey = QStringLiteral("FileDialogs/LastFolder");

void PrepareFolder(QFileDialog& dialog, const QSettings& settings)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QString folder = LastFolder(settings);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        dialog.setDirectory(folder);
}

}  // namespace

QStringList NameFilters(const QString& suffix)
{
    QStringList filters;
    if (const TOutputFormat* format = OutputFormatWithSuffix(suffix))
        filters << format->filter;
    else if (suffix == QLatin1String("sqlite"))
        filters << QStringLiteral("Архив SQLite (*.sqlite)"); // a backup of the archive
    return filters << QStringLiteral("Все файлы (*)");
}

QString LastFolder(const QSettings& settings)
{
    return settings.value(LastFolderKey).toString();
}

void RememberFolder(QSettings& settings, const QString& chosenFile)
{
    settings.setValue(LastFolderKey, QFileInfo(chosenFile).absolutePath());
}

void PrepareSave(QFileDialog& dialog, const QString& proposedName, const QSettings& settings)
{
    PrepareFolder(dialog, settings);
    const QString suffix = QFileInfo(proposedName).suffix();
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(NameFilters(suffix));
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(proposedName);
}

void PrepareSaveOffering(QFileDialog& dialog, const QString& proposedName, const QStringList& suffixes,
                         const QSettings& settings)
{
    PrepareSave(dialog, proposedName, settings);
    QStringList filters;
    for (const QString& suffix : suffixes)
        filters << NameFilters(suffix).constFirst();
    dialog.setNameFilters(filters << NameFilters(QString()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, filters, suffixes](const QString& filter) {
                         if (const qsizetype chosen = filters.indexOf(filter); chosen >= 0 && chosen < suffixes.size())
                             dialog.setDefaultSuffix(suffixes[chosen]);
                     });
}

void PrepareOpen(QFileDialog& dialog, const QSettings& settings)
{
    PrepareFolder(dialog, settings);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(NameFilters(OutputFormatOf(TOutputKind::RawLog).suffix));
}

}  // namespace FileDialogSetup

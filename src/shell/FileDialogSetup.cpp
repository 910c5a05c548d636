#include "shell/FileDialogSetup.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

#include <array>
#include <utility>

namespace FileDialogSetup {

namespace {

const QString LastFolderKey = QStringLiteral("FileDialogs/LastFolder");

QString FileTypeName(const QString& suffix)
{
    static const std::array<std::pair<const char*, const char*>, 5> names{{
        {"xlsx", "Отчёт Excel (*.xlsx)"},
        {"pdf", "PDF (*.pdf)"},
        {"bmp", "Рисунок BMP (*.bmp)"},
        {"csv", "CSV (*.csv)"},
        {"log", "Журнал прибора (*.log)"},
    }};
    for (const auto& [known, name] : names)
        if (suffix.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(name);
    return {};
}

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
    if (const QString name = FileTypeName(suffix); !name.isEmpty())
        filters << name;
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

void PrepareOpen(QFileDialog& dialog, const QSettings& settings)
{
    PrepareFolder(dialog, settings);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(NameFilters(QStringLiteral("log")));
}

}  // namespace FileDialogSetup

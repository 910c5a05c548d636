#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;
class QSettings;

// How the file dialogs fit the files the program writes and reads: the
// filter and default suffix of each output format, and the folder last
// used, kept in the program's settings from one run to the next.
namespace FileDialogSetup {

// The filter of the output format with the suffix ("Отчёт Excel (*.xlsx)"
// for "xlsx") or of the archive's backup ("sqlite"), then every file; only
// every file for a suffix the program does not write.
QStringList NameFilters(const QString& suffix);

// The folder the last dialog was accepted in; empty before the first.
QString LastFolder(const QSettings& settings);
void RememberFolder(QSettings& settings, const QString& chosenFile);

// Sets up a save dialog proposing `proposedName` in the last folder.
void PrepareSave(QFileDialog& dialog, const QString& proposedName, const QSettings& settings);
// Sets up a save dialog proposing `proposedName` with a filter of each of
// `suffixes` (the proposed name's first); a name typed without a suffix gets
// that of the filter chosen.
void PrepareSaveOffering(QFileDialog& dialog, const QString& proposedName, const QStringList& suffixes,
                         const QSettings& settings);
// Sets up an open dialog for a logger's log in the last folder.
void PrepareOpen(QFileDialog& dialog, const QSettings& settings);

}  // namespace FileDialogSetup

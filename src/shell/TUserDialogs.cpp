#include "shell/TUserDialogs.h"

#include "data/UserLimitsSettings.h"
#include "shell/FileDialogSetup.h"
#include "text/MessageText.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QSettings>

TQtDialogs::TQtDialogs()
    : TQtDialogs(ProgramSettings())
{
}

TQtDialogs::TQtDialogs(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings))
{
}

TQtDialogs::~TQtDialogs() = default;

QString TQtDialogs::openFileName(QWidget* parent, const QString& caption)
{
    QFileDialog dialog(parent, caption);
    FileDialogSetup::PrepareOpen(dialog, *settings_);
    return chosenFile(dialog);
}

QString TQtDialogs::saveFileName(QWidget* parent, const QString& proposedName, bool confirmOverwrite)
{
    QFileDialog dialog(parent);
    FileDialogSetup::PrepareSave(dialog, proposedName, *settings_);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    return chosenFile(dialog);
}

QString TQtDialogs::saveFileNameOffering(QWidget* parent, const QString& proposedName, const QStringList& suffixes)
{
    QFileDialog dialog(parent);
    FileDialogSetup::PrepareSaveOffering(dialog, proposedName, suffixes, *settings_);
    return chosenFile(dialog);
}

QString TQtDialogs::chosenFile(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().constFirst();
    FileDialogSetup::RememberFolder(*settings_, path);
    return path;
}

void TQtDialogs::showError(QWidget* parent, const QString& text)
{
    // The reason in one line; what a library said about it behind "Подробнее".
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Ошибка"), MessageLine(text), QMessageBox::Ok, parent);
    box.setDetailedText(MessageDetail(text));
    box.exec();
}

bool TQtDialogs::confirm(QWidget* parent, const QString& question)
{
    // "Нет" is the default, so a hurried Enter keeps what would be lost.
    return QMessageBox::question(parent, QStringLiteral("Подтверждение"), question,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

bool TQtDialogs::setUpPrinter(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

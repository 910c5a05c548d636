#include "shell/TUserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>

QString TQtDialogs::OpenFileName(QWidget* parent, const QString& caption)
{
    return QFileDialog::getOpenFileName(parent, caption);
}

QString TQtDialogs::SaveFileName(QWidget* parent, const QString& proposedName, bool confirmOverwrite)
{
    const QFileDialog::Options options = confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite;
    return QFileDialog::getSaveFileName(parent, QString(), proposedName, QString(), nullptr, options);
}

void TQtDialogs::ShowError(QWidget* parent, const QString& text)
{
    QMessageBox::critical(parent, QStringLiteral("Ошибка"), text);
}

bool TQtDialogs::SetUpPrinter(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

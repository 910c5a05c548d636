#include "settings/PageControls.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

QPushButton* NewPageButton(const char* caption, const char* name, QWidget* parent)
{
    return NewNamedControl<QPushButton>(name, QString::fromUtf8(caption), parent);
}

void ShowErrorBox(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), message, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.exec();
}

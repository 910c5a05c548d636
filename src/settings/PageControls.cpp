#include "settings/PageControls.h"

#include "text/MessageText.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

QPushButton* NewPageButton(const char* caption, const char* name, QWidget* parent)
{
    return NewNamedControl<QPushButton>(name, QString::fromUtf8(caption), parent);
}

void ShowErrorBox(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), MessageLine(message),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.setDetailedText(MessageDetail(message));
    box.exec();
}

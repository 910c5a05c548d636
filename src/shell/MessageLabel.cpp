#include "shell/MessageLabel.h"

#include "text/MessageText.h"

#include <QApplication>
#include <QLabel>

void MakeOneLineStatus(QLabel* label)
{
    label->setWordWrap(false);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void ShowMessageLine(QLabel* label, const QString& message)
{
    label->setText(MessageLine(message));
    label->setToolTip(message);
}

void ShowMessageLine(QLabel* label, const QString& message, bool fault)
{
    QPalette colours = label->palette();
    const QColor usual = QApplication::palette(label).color(QPalette::WindowText);
    colours.setColor(QPalette::WindowText, fault ? QColor(Qt::red) : usual);
    label->setPalette(colours);
    ShowMessageLine(label, message);
}

#include "shell/MessageLabel.h"

#include "text/MessageText.h"

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

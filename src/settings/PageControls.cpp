#include "settings/PageControls.h"

#include <QPushButton>

QPushButton* NewPageButton(const char* caption, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

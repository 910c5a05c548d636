#include "shell/TabPages.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace TabPages {

QWidget* addPage(QTabWidget* pages, const QString& objectName, const QString& caption)
{
    auto* page = new QWidget;
    page->setObjectName(objectName);
    pages->addTab(page, caption);
    return page;
}

void fill(QWidget* page, QWidget* content)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
}

}  // namespace TabPages

#include "shell/TFormSetting.h"

#include <QListWidget>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

TFormSetting::TFormSetting(QWidget* mainWindow)
    : TToolWindow(mainWindow, QStringLiteral("Настройки"), QSize(371, 447))
    , PageControl(new QTabWidget(this))
    , ListBox1(new QListWidget(this))
    , Timer1(new QTimer(this))
    , Timer2(new QTimer(this))
    , TimerDateTime(new QTimer(this))
{
    setObjectName(QStringLiteral("FormSetting"));

    PageControl->setObjectName(QStringLiteral("PageControl"));
    TabSheet1 = addPage(QStringLiteral("TabSheet1"), QStringLiteral("Даталоггер"));
    TabSheet2 = addPage(QStringLiteral("TabSheet2"), QStringLiteral("Wi-Fi"));
    TabSheet3 = addPage(QStringLiteral("TabSheet3"), QStringLiteral("Обшие"));
    TabSheet4 = addPage(QStringLiteral("TabSheet4"), QStringLiteral("Температура"));
    TabSheet5 = addPage(QStringLiteral("TabSheet5"), QStringLiteral("Влажность"));
    TabSheet6 = addPage(QStringLiteral("TabSheet6"), QStringLiteral("Давление"));
    for (QWidget* page : ServicePages())
        SetPageVisible(page, false);

    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Журнал событий"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(PageControl, 3);
    layout->addWidget(ListBox1, 1);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2->setObjectName(QStringLiteral("Timer2"));
    TimerDateTime->setObjectName(QStringLiteral("TimerDateTime"));
}

QWidget* TFormSetting::addPage(const QString& objectName, const QString& caption)
{
    auto* page = new QWidget;
    page->setObjectName(objectName);
    PageControl->addTab(page, caption);
    return page;
}

QList<QWidget*> TFormSetting::ServicePages() const
{
    return {TabSheet2, TabSheet3, TabSheet4, TabSheet5, TabSheet6};
}

bool TFormSetting::PageVisible(QWidget* page) const
{
    return PageControl->isTabVisible(PageControl->indexOf(page));
}

void TFormSetting::SetPageVisible(QWidget* page, bool visible)
{
    PageControl->setTabVisible(PageControl->indexOf(page), visible);
}

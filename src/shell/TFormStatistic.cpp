#include "shell/TFormStatistic.h"

#include "data/MeasurementStore.h"
#include "reports/Statistics.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

TFormStatistic::TFormStatistic(QWidget* mainWindow, const TMeasurementStore& store)
    : TToolWindow(mainWindow, QStringLiteral("Статистика"), QSize(363, 241))
    , StringGridStatistic(new QTableWidget(12, 2, this))
    , ButtonClose(new QPushButton(QStringLiteral("Закрыть"), this))
    , Store(store)
{
    setObjectName(QStringLiteral("FormStatistic"));

    StringGridStatistic->setObjectName(QStringLiteral("StringGridStatistic"));
    StringGridStatistic->setAccessibleName(QStringLiteral("Статистика"));
    StringGridStatistic->setGeometry(0, 0, 362, 217);
    StringGridStatistic->setFrameShape(QFrame::NoFrame);
    StringGridStatistic->horizontalHeader()->hide();
    StringGridStatistic->verticalHeader()->hide();
    StringGridStatistic->horizontalHeader()->setDefaultSectionSize(180);
    StringGridStatistic->verticalHeader()->setMinimumSectionSize(17);
    StringGridStatistic->verticalHeader()->setDefaultSectionSize(17);
    StringGridStatistic->setEditTriggers(QAbstractItemView::NoEditTriggers);

    ButtonClose->setObjectName(QStringLiteral("ButtonClose"));
    ButtonClose->setGeometry(0, 217, 362, 25);
    connect(ButtonClose, &QPushButton::clicked, this, &TFormStatistic::ButtonCloseClick);

    FormCreate();
}

void TFormStatistic::FormCreate()
{
    const QStringList captions = StatisticsCaptions();
    for (int row = 0; row < captions.size(); ++row) {
        auto* item = new QTableWidgetItem(captions[row]);
        item->setFlags(Qt::ItemIsEnabled);
        StringGridStatistic->setItem(row, 0, item);
        auto* value = new QTableWidgetItem;
        value->setFlags(Qt::ItemIsEnabled);
        value->setTextAlignment(Qt::AlignCenter);
        StringGridStatistic->setItem(row, 1, value);
    }
}

void TFormStatistic::showEvent(QShowEvent* event)
{
    TToolWindow::showEvent(event);
    FormShow();
}

void TFormStatistic::FormShow()
{
    ComputeStatistics();
}

void TFormStatistic::ComputeStatistics()
{
    const QStringList texts = StatisticsTexts(::ComputeStatistics(Store), Store.formatter());
    for (int row = 0; row < texts.size(); ++row)
        StringGridStatistic->item(row, 1)->setText(texts[row]);
}

void TFormStatistic::ButtonCloseClick()
{
    hide();
}

#include "shell/TFormStatistic.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

namespace {

const char* const RowCaptions[] = {
    "Начало измерений",
    "Конец измерений",
    "Количество измерений",
    "Максимальная темепература, *С",
    "Средняя темепература, *С",
    "Минимальная темепература, *С",
    "Максимальная влажность, %",
    "Средняя влажность,%",
    "Минимальная влажность, %",
    "Максимальное давление, кПа",
    "Среднее давление, кПа",
    "Минимальное давление, кПа",
};

}  // namespace

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
    int row = 0;
    for (const char* caption : RowCaptions) {
        auto* item = new QTableWidgetItem(QString::fromUtf8(caption));
        item->setFlags(Qt::ItemIsEnabled);
        StringGridStatistic->setItem(row++, 0, item);
    }
}

void TFormStatistic::ButtonCloseClick()
{
    hide();
}

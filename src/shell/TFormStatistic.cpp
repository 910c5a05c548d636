#include "shell/TFormStatistic.h"

#include "data/CellFormatter.h"
#include "data/MeasurementStore.h"
#include "data/UserLimitsHolder.h"
#include "reports/Statistics.h"
#include "shell/TLimitsDialog.h"
#include "text/FormatLocale.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

namespace {

constexpr int RowHeight = 17;
// The mean kinetic temperature, then the time and the count beyond each limit.
constexpr int MetrologyRows = 1 + 2 * int(ExcursionLimitCount);
// The limit rows sit below the twelve, whose grid and places stay as they were.
constexpr int MetrologyTop = 217;
constexpr int MetrologyHeight = MetrologyRows * RowHeight + 1;
constexpr int GridWidth = 362;
constexpr int CaptionWidth = 180;
constexpr int ButtonHeight = 25;

void setUpGrid(QTableWidget* grid, const QString& name, const QRect& geometry)
{
    grid->setObjectName(name);
    grid->setAccessibleName(QStringLiteral("Статистика"));
    grid->setGeometry(geometry);
    grid->setFrameShape(QFrame::NoFrame);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setDefaultSectionSize(CaptionWidth);
    grid->verticalHeader()->setMinimumSectionSize(RowHeight);
    grid->verticalHeader()->setDefaultSectionSize(RowHeight);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

// Column 0 takes the captions; column 1 gets empty, centred value cells.
void writeCaptions(QTableWidget* grid, const QStringList& captions)
{
    for (int row = 0; row < captions.size(); ++row) {
        auto* item = new QTableWidgetItem(captions[row]);
        item->setFlags(Qt::ItemIsEnabled);
        grid->setItem(row, 0, item);
        auto* value = new QTableWidgetItem;
        value->setFlags(Qt::ItemIsEnabled);
        value->setTextAlignment(Qt::AlignCenter);
        grid->setItem(row, 1, value);
    }
}

// The captions are read whole, whatever the font: their column widens from
// its usual 180 pixels as they need, and the values take the rest.
void fitCaptionColumn(QTableWidget* grid)
{
    grid->resizeColumnToContents(0);
    const int captions = std::max(grid->columnWidth(0), CaptionWidth);
    grid->setColumnWidth(0, captions);
    grid->setColumnWidth(1, GridWidth - captions);
}

void writeValues(QTableWidget* grid, const QStringList& texts)
{
    for (int row = 0; row < texts.size(); ++row)
        grid->item(row, 1)->setText(texts[row]);
}

} // namespace

TFormStatistic::TFormStatistic(QWidget* mainWindow, const TMeasurementStore& store, TUserLimitsHolder& limits)
    : TToolWindow(mainWindow, QStringLiteral("Статистика"), QSize(363, 241 + MetrologyHeight + ButtonHeight))
    , StringGridStatistic(new QTableWidget(12, 2, this))
    , StringGridMetrology(new QTableWidget(MetrologyRows, 2, this))
    , ButtonLimits(new QPushButton(QStringLiteral("Пределы..."), this))
    , ButtonClose(new QPushButton(QStringLiteral("Закрыть"), this))
    , store_(store)
    , limits_(limits)
{
    setObjectName(QStringLiteral("FormStatistic"));

    setUpGrid(StringGridStatistic, QStringLiteral("StringGridStatistic"), QRect(0, 0, GridWidth, 217));
    setUpGrid(StringGridMetrology, QStringLiteral("StringGridMetrology"),
              QRect(0, MetrologyTop, GridWidth, MetrologyHeight));

    ButtonLimits->setObjectName(QStringLiteral("ButtonLimits"));
    ButtonLimits->setGeometry(0, MetrologyTop + MetrologyHeight, GridWidth, ButtonHeight);
    connect(ButtonLimits, &QPushButton::clicked, this, &TFormStatistic::ButtonLimitsClick);
    ButtonClose->setObjectName(QStringLiteral("ButtonClose"));
    ButtonClose->setGeometry(0, MetrologyTop + MetrologyHeight + ButtonHeight, GridWidth, ButtonHeight);
    connect(ButtonClose, &QPushButton::clicked, this, &TFormStatistic::ButtonCloseClick);

    connect(&limits_, &TUserLimitsHolder::limitsChanged, this, &TFormStatistic::showLimits);
    FormCreate();
}

void TFormStatistic::FormCreate()
{
    writeCaptions(StringGridStatistic, StatisticsCaptions());
    writeCaptions(StringGridMetrology, MetrologyCaptions(FormatLocale(), limits_.limits()));
    fitCaptionColumn(StringGridStatistic);
    fitCaptionColumn(StringGridMetrology);
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
    writeValues(StringGridStatistic, StatisticsTexts(::ComputeStatistics(store_), TCellFormatter(store_.loadLocale())));
    writeValues(StringGridMetrology, MetrologyTexts(store_, store_.loadLocale(), limits_.limits()));
}

void TFormStatistic::ButtonLimitsClick()
{
    auto* dialog = new TLimitsDialog(limits_.limits(), limits_.loggerLevels(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const TUserLimits before = limits_.limits();
        limits_.setLimits(dialog->limits());
        if (limits_.limits() != before)
            emit limitsChosen(before, limits_.limits());
    });
    dialog->open();
}

// Other limits in use: the excursion lines are named anew, and counted
// anew at once when shown (a hidden window counts when it is shown).
void TFormStatistic::showLimits()
{
    writeCaptions(StringGridMetrology, MetrologyCaptions(FormatLocale(), limits_.limits()));
    fitCaptionColumn(StringGridMetrology);
    if (isVisible())
        ComputeStatistics();
}

void TFormStatistic::ButtonCloseClick()
{
    hide();
}

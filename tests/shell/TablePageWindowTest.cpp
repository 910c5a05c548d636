#include "KorviTestMain.h"

#include "SimulatedWindows.h"
#include "StatisticsControls.h"
#include "ViewerControls.h"

#include "data/LogRecord.h"
#include "data/MeasurementStore.h"
#include "data/Timestamp.h"
#include "shell/TFormMain.h"
#include "shell/TFormStatistic.h"
#include "views/TSysPage.h"
#include "views/TTablePage.h"
#include "views/TVirtualGrid.h"

#include <QAccessible>
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimeEdit>

#include <vector>

// The table page and the statistics window inside the data viewer, on a log
// loaded from a simulated logger.
class TablePageWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statisticsShowTheMendedFiguresWhateverTheFilter();
    void statisticsRecomputeAtEveryShowing();
    void statisticsItemNeedsTwoShownRows();
    void eachGridSelectsItsOwnWholeRow();

private:
    QStringList statisticsColumn() const;
    void loadLog(const std::vector<TLogRecord>& records);

    std::unique_ptr<SimulatedWindows> simulation;
};

namespace {

const qint64 Start = TimestampSeconds(2024, 5, 1, 9, 0, 0);

// Six rows: 3 x -5.0 °C 40 %, 1 x -12.3 °C without humidity, 2 x -0.7 °C 60 %;
// pressure is never recorded.
std::vector<TLogRecord> negativeLog()
{
    return {MakeLogRecord(3, 0x23, Start, -50, 400, 0), MakeLogRecord(1, 0x21, Start + 15, -123, 0, 0),
            MakeLogRecord(2, 0x23, Start + 20, -7, 600, 0)};
}

} // namespace

void TablePageWindowTest::init()
{
    simulation = std::make_unique<SimulatedWindows>();
}

void TablePageWindowTest::cleanup()
{
    simulation.reset();
}

void TablePageWindowTest::loadLog(const std::vector<TLogRecord>& records)
{
    simulation = std::make_unique<SimulatedWindows>(
        QByteArray(reinterpret_cast<const char*>(records.data()), qsizetype(records.size() * sizeof(TLogRecord))));
    simulation->connectLogger();
    QVERIFY(loadFromLogger(*simulation->windows->formMain_));
}

QStringList TablePageWindowTest::statisticsColumn() const
{
    const QTableWidget& grid = *StatisticsControls(*simulation->windows->formStatistic_).StringGridStatistic;
    QStringList texts;
    for (int row = 0; row < grid.rowCount(); ++row)
        texts << grid.item(row, 1)->text();
    return texts;
}

void TablePageWindowTest::statisticsShowTheMendedFiguresWhateverTheFilter()
{
    loadLog(negativeLog());
    TFormMain& viewer = *simulation->windows->formMain_;
    TTablePage& page = *ViewerControls(viewer).TablePage;
    QCOMPARE(page.StringGridFiltr->model()->rowCount(), 6);

    // Humidity 60 % only, up to the last row: two rows left in the table.
    page.DateTimePickerTFStopS->setTime(QTime(9, 0, 25));
    QTest::keyClicks(page.EditRHMin, QStringLiteral("50"));
    QTest::mouseClick(page.ButtonFiltrS, Qt::LeftButton);
    QCOMPARE(viewer.tableRowCount(), 3);

    ViewerControls(viewer).N4->trigger();
    TFormStatistic& statistics = *simulation->windows->formStatistic_;
    QVERIFY(statistics.isVisible());
    const QString none = QStringLiteral("—");
    const QStringList expected{QStringLiteral("09:00:00 01.05.2024"), QStringLiteral("09:00:25 01.05.2024"),
                               QStringLiteral("6"),
                               // (3 x -5 - 12.3 + 2 x -0.7) / 6 = -4.783...
                               QStringLiteral("-0,7"), QStringLiteral("-4,8"), QStringLiteral("-12,3"),
                               // (3 x 40 + 2 x 60) / 5: the row without humidity does not count
                               QStringLiteral("60,0"), QStringLiteral("48,0"), QStringLiteral("40,0"),
                               none, none, none};
    QCOMPARE(statisticsColumn(), expected);
    QCOMPARE(StatisticsControls(statistics).StringGridStatistic->item(4, 1)->textAlignment(), int(Qt::AlignCenter));
    QCOMPARE(StatisticsControls(statistics).StringGridStatistic->item(4, 0)->text(), QStringLiteral("Средняя темепература, *С"));
}

void TablePageWindowTest::statisticsRecomputeAtEveryShowing()
{
    loadLog(negativeLog());
    TFormStatistic& statistics = *simulation->windows->formStatistic_;
    QCOMPARE(statisticsColumn().value(2), QString()); // never shown yet
    statistics.show();
    QCOMPARE(statisticsColumn().value(2), QStringLiteral("6"));
    StatisticsControls(statistics).ButtonClose->click();

    simulation->windows->formMain_->store().showRecords(std::make_shared<TRecordList>(QDate::currentDate().year()));
    QCOMPARE(statisticsColumn().value(2), QStringLiteral("6")); // not refreshed while hidden
    statistics.show();
    QStringList empty{QString(), QString(), QStringLiteral("0")};
    for (int row = 3; row < 12; ++row)
        empty << QStringLiteral("—");
    QCOMPARE(statisticsColumn(), empty);
}

void TablePageWindowTest::statisticsItemNeedsTwoShownRows()
{
    loadLog(negativeLog());
    TFormMain& viewer = *simulation->windows->formMain_;
    TTablePage& page = *ViewerControls(viewer).TablePage;
    // 09:00:20 only: one data row shown, though the store holds six.
    page.DateTimePickerTFStartS->setTime(QTime(9, 0, 20));
    page.DateTimePickerTFStopS->setTime(QTime(9, 0, 20));
    page.ButtonFiltrS->click();
    QCOMPARE(viewer.tableRowCount(), 2);
    ViewerControls(viewer).N4->trigger();
    QVERIFY(!simulation->windows->formStatistic_->isVisible());

    page.ButtonFilterClearS->click();
    QCOMPARE(viewer.tableRowCount(), 7);
    ViewerControls(viewer).N4->trigger();
    QVERIFY(simulation->windows->formStatistic_->isVisible());
}

void TablePageWindowTest::eachGridSelectsItsOwnWholeRow()
{
    loadLog(negativeLog());
    TFormMain& viewer = *simulation->windows->formMain_;
    viewer.show();
    QTest::keyClick(&viewer, Qt::Key_F7, Qt::ShiftModifier);
    ViewerControls(viewer).PageControlData->show();
    TVirtualGrid& table = *ViewerControls(viewer).TablePage->StringGridFiltr;
    TVirtualGrid& rowTable = *ViewerControls(viewer).SysPage->StringGrid;

    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QTest::mouseClick(rowTable.viewport(), Qt::LeftButton, {}, rowTable.cellRect(4, 2).center());
    QCOMPARE(rowTable.currentRow(), 4);
    QCOMPARE(table.currentRow(), -1);

    ViewerControls(viewer).PageControlData->setCurrentWidget(ViewerControls(viewer).TabSheetTable);
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, table.cellRect(1, 3).center());
    QCOMPARE(table.currentRow(), 1);
    QCOMPARE(rowTable.currentRow(), 4);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&table);
    QCOMPARE(accessible->tableInterface()->selectedCellCount(), 7);
}

KORVI_QTEST_MAIN(TablePageWindowTest)
#include "TablePageWindowTest.moc"

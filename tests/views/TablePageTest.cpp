#include "views/TTablePage.h"

#include "data/DataTestSupport.h"
#include "data/MeasurementStore.h"
#include "data/RowTableColumns.h"
#include "data/Timestamp.h"
#include "views/TVirtualGrid.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QtTest>

namespace {

const qint64 Start = TimestampSeconds(2024, 5, 1, 9, 0, 0);

// Eight rows 5 s apart from 01.05.2024 09:00:00:
//   1-3 20.0 °C 40 %, 4-5 21.3 °C no humidity, 6 20.1 °C 60 %, 7-8 19.9 °C 30 %.
std::shared_ptr<TRecordList> eightRows()
{
    return ListOf({MakeLogRecord(3, 0x27, Start, 200, 400, 1013), MakeLogRecord(2, 0x25, Start + 15, 213, 0, 1013),
                   MakeLogRecord(1, 0x27, Start + 25, 201, 600, 1013),
                   MakeLogRecord(2, 0x27, Start + 30, 199, 300, 1013)});
}

} // namespace

class TablePageTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loadShowsEveryRowAndThePeriodInThePickers();
    void filtersKeepRowTableNumbers_data();
    void filtersKeepRowTableNumbers();
    void aTemperatureBoundDropsRowsWithoutTemperature();
    void periodOutsideTheDataLeavesOnlyTheHeader();
    void keyRuleDropsMinusAndTypesOneSeparator();
    void pastedTextMeetsTheRangeRule();
    void editingKeysWorkWithTheTextX11Sends_data();
    void editingKeysWorkWithTheTextX11Sends();
    void resetRestoresRowsPickersAndEdits();
    void emptyStoreDisablesThePanel();
    void clickSelectsTheWholeRow();
    void assistiveTechnologyReadsTheGridAsATable();

private:
    QList<QString> numberColumn() const;
    void setStop(qint64 seconds);

    std::unique_ptr<TMeasurementStore> store;
    std::unique_ptr<TTablePage> page;
};

void TablePageTest::init()
{
    store = std::make_unique<TMeasurementStore>();
    store->showRecords(eightRows());
    page = std::make_unique<TTablePage>(*store);
    page->resize(900, 500);
    page->storeLoaded();
}

void TablePageTest::cleanup()
{
    page.reset();
    store.reset();
}

QList<QString> TablePageTest::numberColumn() const
{
    const QAbstractItemModel& model = *page->StringGridFiltr->model();
    QList<QString> numbers;
    for (int row = 0; row < model.rowCount(); ++row)
        numbers << model.index(row, ColumnNumber).data().toString();
    return numbers;
}

void TablePageTest::setStop(qint64 seconds)
{
    page->DateTimePickerDFStopS->setDate(DateOf(seconds));
    page->DateTimePickerTFStopS->setTime(TimeOf(seconds));
}

void TablePageTest::loadShowsEveryRowAndThePeriodInThePickers()
{
    const QAbstractItemModel& model = *page->StringGridFiltr->model();
    QCOMPARE(model.rowCount(), 8);
    QCOMPARE(model.headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Влажность, %"));
    QCOMPARE(model.index(3, ColumnHumidity).data().toString(), QString());
    QCOMPARE(model.index(3, ColumnTemperature).data().toString(), QStringLiteral("21,3"));
    QCOMPARE(page->StringGridFiltr->columnWidth(ColumnInterval), 0);
    QCOMPARE(page->StringGridFiltr->rowHeight(), 18);
    QVERIFY(page->StringGridFiltr->headerVisible());
    QCOMPARE(page->DateTimePickerDFStartS->text(), QStringLiteral("01.05.24"));
    QCOMPARE(page->DateTimePickerTFStartS->text(), QStringLiteral("09:00:00"));
    // The stop pickers show the last row's time, so untouched pickers keep every row.
    QCOMPARE(page->DateTimePickerDFStopS->text(), QStringLiteral("01.05.24"));
    QCOMPARE(page->DateTimePickerTFStopS->text(), QStringLiteral("09:00:35"));
    QVERIFY(page->ButtonFiltrS->isEnabled());
    QVERIFY(page->EditTMax->isEnabled());
}

void TablePageTest::filtersKeepRowTableNumbers_data()
{
    QTest::addColumn<QString>("tMax");
    QTest::addColumn<QString>("tMin");
    QTest::addColumn<QString>("rhMax");
    QTest::addColumn<QString>("rhMin");
    QTest::addColumn<QList<QString>>("numbers");
    const auto rows = [](std::initializer_list<const char*> numbers) {
        QList<QString> list;
        for (const char* number : numbers)
            list << QString::fromLatin1(number);
        return list;
    };
    QTest::newRow("no bounds") << "" << "" << "" << "" << rows({"1", "2", "3", "4", "5", "6", "7", "8"});
    QTest::newRow("tmin = tmax = 20") << "20" << "20" << "" << "" << rows({"1", "2", "3"});
    QTest::newRow("21.3 cell, tmax 21.3") << "21,3" << "21,3" << "" << "" << rows({"4", "5"});
    QTest::newRow("missing humidity, RHmin 10") << "" << "" << "" << "10" << rows({"1", "2", "3", "6", "7", "8"});
    QTest::newRow("missing humidity, RHmax 50") << "" << "" << "50" << "" << rows({"1", "2", "3", "7", "8"});
    QTest::newRow("all four bounds") << "21" << "20" << "50" << "35" << rows({"1", "2", "3"});
}

void TablePageTest::filtersKeepRowTableNumbers()
{
    QFETCH(QString, tMax);
    QFETCH(QString, tMin);
    QFETCH(QString, rhMax);
    QFETCH(QString, rhMin);
    QFETCH(QList<QString>, numbers);
    setStop(Start + 35);
    QTest::keyClicks(page->EditTMax, tMax);
    QTest::keyClicks(page->EditTMin, tMin);
    QTest::keyClicks(page->EditRHMax, rhMax);
    QTest::keyClicks(page->EditRHMin, rhMin);
    QTest::mouseClick(page->ButtonFiltrS, Qt::LeftButton);
    QCOMPARE(numberColumn(), numbers);
    QCOMPARE(page->EditTMax->text(), tMax);
}

// Rows without temperature show an empty cell; "tmax 8" lists only the rows
// whose temperature is there and at most 8, and "RHmin 50" alone keeps them.
void TablePageTest::aTemperatureBoundDropsRowsWithoutTemperature()
{
    store->showRecords(ListOf({MakeLogRecord(2, 0x27, Start, 50, 400, 1013),
                               MakeLogRecord(3, 0x26, Start + 10, 0, 600, 1013),
                               MakeLogRecord(1, 0x27, Start + 25, 90, 600, 1013)}));
    page->storeLoaded();
    const QAbstractItemModel& model = *page->StringGridFiltr->model();
    QCOMPARE(model.rowCount(), 6);
    QCOMPARE(model.index(2, ColumnTemperature).data().toString(), QString());

    QTest::keyClicks(page->EditTMax, QStringLiteral("8"));
    QTest::mouseClick(page->ButtonFiltrS, Qt::LeftButton);
    QCOMPARE(numberColumn(), (QList<QString>{"1", "2"}));

    page->EditTMax->clear();
    QTest::keyClicks(page->EditRHMin, QStringLiteral("50"));
    QTest::mouseClick(page->ButtonFiltrS, Qt::LeftButton);
    QCOMPARE(numberColumn(), (QList<QString>{"3", "4", "5", "6"}));
}

void TablePageTest::periodOutsideTheDataLeavesOnlyTheHeader()
{
    // Both ends included: 09:00:05 to 09:00:15 keeps rows 2, 3 and 4.
    page->DateTimePickerTFStartS->setTime(QTime(9, 0, 5));
    setStop(Start + 15);
    page->ButtonFiltrS->click();
    QCOMPARE(numberColumn(), (QList<QString>{"2", "3", "4"}));

    // The loaded period ends at the last row: "Выбрать" with untouched pickers keeps every row.
    page->ButtonFilterClearS->click();
    page->ButtonFiltrS->click();
    QCOMPARE(page->StringGridFiltr->model()->rowCount(), 8);

    page->DateTimePickerDFStartS->setDate(QDate(2024, 5, 2));
    page->ButtonFiltrS->click();
    QCOMPARE(page->StringGridFiltr->model()->rowCount(), 0);
    QVERIFY(page->StringGridFiltr->headerVisible());
    QCOMPARE(page->StringGridFiltr->model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("#"));
}

void TablePageTest::keyRuleDropsMinusAndTypesOneSeparator()
{
    QTest::keyClicks(page->EditTMax, QStringLiteral("-2.5.,"));
    QCOMPARE(page->EditTMax->text(), QStringLiteral("2,5"));
    QTest::keyClick(page->EditTMax, Qt::Key_Backspace);
    QTest::keyClick(page->EditTMax, Qt::Key_Return);
    QCOMPARE(page->EditTMax->text(), QStringLiteral("2,"));
    QTest::keyClicks(page->EditRHMin, QStringLiteral(",7"));
    QCOMPARE(page->EditRHMin->text(), QStringLiteral(",7"));
}

void TablePageTest::pastedTextMeetsTheRangeRule()
{
    struct Case {
        QLineEdit* edit;
        QString pasted;
        QString shown;
    };
    const Case cases[] = {
        {page->EditTMax, QStringLiteral("70"), QStringLiteral("55")},
        {page->EditTMin, QStringLiteral("70"), QStringLiteral("0")},
        {page->EditRHMax, QStringLiteral("-5"), QStringLiteral("99")},
        {page->EditRHMin, QStringLiteral("55"), QStringLiteral("55")},
    };
    for (const Case& c : cases) {
        QApplication::clipboard()->setText(c.pasted);
        c.edit->paste(); // what the context menu's "Paste" does
        QVERIFY2(c.edit->text() == c.shown, qPrintable(c.edit->objectName() + ": " + c.edit->text()));
    }
    // The keyboard shortcut pastes as the context menu does.
    page->EditTMax->clear();
    QApplication::clipboard()->setText(QStringLiteral("70"));
    QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
    QApplication::sendEvent(page->EditTMax, &paste);
    QCOMPARE(page->EditTMax->text(), QStringLiteral("55"));
}

void TablePageTest::editingKeysWorkWithTheTextX11Sends_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("result");
    QTest::newRow("Delete") << int(Qt::Key_Delete) << QStringLiteral("\x7f") << 0 << QStringLiteral("1,5");
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << QStringLiteral("\b") << 4 << QStringLiteral("21,");
}

// Under X11 Delete and Backspace carry the characters 127 and 8, which the
// key rule must not take for typed characters.
void TablePageTest::editingKeysWorkWithTheTextX11Sends()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(QString, result);
    for (QLineEdit* edit : {page->EditTMax, page->EditTMin, page->EditRHMax, page->EditRHMin}) {
        edit->setText(QStringLiteral("21,5"));
        edit->setCursorPosition(cursor);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(edit, &press);
        QVERIFY2(edit->text() == result, qPrintable(edit->objectName() + ": " + edit->text()));
    }
}

void TablePageTest::resetRestoresRowsPickersAndEdits()
{
    QTest::keyClicks(page->EditTMax, QStringLiteral("20"));
    QTest::keyClicks(page->EditRHMin, QStringLiteral("35"));
    page->ButtonFiltrS->click();
    QCOMPARE(page->StringGridFiltr->model()->rowCount(), 3);
    page->DateTimePickerDFStartS->setDate(QDate(2024, 6, 1));
    page->DateTimePickerTFStopS->setTime(QTime(1, 2, 3));

    QTest::mouseClick(page->ButtonFilterClearS, Qt::LeftButton);
    QCOMPARE(page->StringGridFiltr->model()->rowCount(), 8);
    QCOMPARE(numberColumn().last(), QStringLiteral("8"));
    for (QLineEdit* edit : {page->EditTMax, page->EditTMin, page->EditRHMax, page->EditRHMin})
        QCOMPARE(edit->text(), QString());
    QCOMPARE(page->DateTimePickerDFStartS->date(), QDate(2024, 5, 1));
    QCOMPARE(page->DateTimePickerTFStartS->time(), QTime(9, 0, 0));
    QCOMPARE(page->DateTimePickerDFStopS->date(), QDate(2024, 5, 1));
    QCOMPARE(page->DateTimePickerTFStopS->time(), QTime(9, 0, 35));
}

void TablePageTest::emptyStoreDisablesThePanel()
{
    QTest::keyClicks(page->EditTMin, QStringLiteral("12"));
    store->showRecords(ListOf({}));
    page->storeLoaded();
    QCOMPARE(page->StringGridFiltr->model()->rowCount(), 0);
    const QList<QWidget*> controls{page->EditTMax, page->EditTMin, page->EditRHMax, page->EditRHMin,
                                   page->DateTimePickerDFStartS, page->DateTimePickerTFStartS,
                                   page->DateTimePickerDFStopS, page->DateTimePickerTFStopS,
                                   page->ButtonFiltrS, page->ButtonFilterClearS};
    for (QWidget* control : controls)
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
    QCOMPARE(page->EditTMin->text(), QStringLiteral("12"));
    page->ButtonFiltrSClick();
    QCOMPARE(page->StringGridFiltr->model()->rowCount(), 0);
}

void TablePageTest::clickSelectsTheWholeRow()
{
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    TVirtualGrid& grid = *page->StringGridFiltr;
    const QRect cell = grid.cellRect(2, ColumnTemperature);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(grid.currentRow(), 2);
    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(&grid)->tableInterface();
    QCOMPARE(table->selectedRows(), QList<int>{2});
    QCOMPARE(table->selectedCellCount(), RowTableColumnCount);
}

void TablePageTest::assistiveTechnologyReadsTheGridAsATable()
{
    TVirtualGrid& grid = *page->StringGridFiltr;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&grid);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Table);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Таблица измерений"));
    QAccessibleTableInterface* table = accessible->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 8);
    QCOMPARE(table->columnCount(), RowTableColumnCount);
    QCOMPARE(table->columnDescription(ColumnTemperature), QStringLiteral("Температура, *С"));
    QCOMPARE(accessible->childCount(), 9 * RowTableColumnCount);

    QAccessibleInterface* header = accessible->child(ColumnDate);
    QCOMPARE(header->role(), QAccessible::ColumnHeader);
    QCOMPARE(header->text(QAccessible::Name), QStringLiteral("Дата"));
    QAccessibleInterface* cell = table->cellAt(3, ColumnTemperature);
    QCOMPARE(cell->role(), QAccessible::Cell);
    QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("21,3"));
    QCOMPARE(accessible->indexOfChild(cell), 4 * RowTableColumnCount + ColumnTemperature);
    QCOMPARE(cell->tableCellInterface()->rowIndex(), 3);
    QCOMPARE(cell->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name),
             QStringLiteral("Температура, *С"));
    QCOMPARE(cell->parent(), accessible);

    QVERIFY(table->selectRow(5));
    QCOMPARE(grid.currentRow(), 5);
    QVERIFY(table->cellAt(5, 0)->tableCellInterface()->isSelected());

    // After a filter the same interface reads the filtered rows: 1, 2, 3, 7 and 8.
    QTest::keyClicks(page->EditTMax, QStringLiteral("20"));
    page->ButtonFiltrS->click();
    QCOMPARE(table->rowCount(), 5);
    QCOMPARE(table->cellAt(4, ColumnNumber)->text(QAccessible::Name), QStringLiteral("8"));
    QVERIFY(!table->cellAt(5, ColumnNumber));
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    TablePageTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TablePageTest.moc"

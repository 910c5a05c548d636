#include "views/TVirtualGrid.h"

#include <QAbstractTableModel>
#include <QImage>
#include <QScrollBar>
#include <QtTest>

namespace {

// A model as large as a full log memory of repeated records, counting the
// cells it is asked for.
class CountingModel : public QAbstractTableModel {
public:
    static constexpr int Rows = 66846720;

    int rowCount(const QModelIndex& = {}) const override { return Rows; }
    int columnCount(const QModelIndex& = {}) const override { return 3; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        ++cellsAsked;
        return QStringLiteral("%1:%2").arg(index.row()).arg(index.column());
    }
    QVariant headerData(int section, Qt::Orientation, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(QStringLiteral("H%1").arg(section)) : QVariant();
    }

    mutable int cellsAsked = 0;
};

void showGrid(TVirtualGrid& grid, CountingModel& model)
{
    grid.resize(400, 200);
    grid.setModel(&model);
    grid.show();
}

}  // namespace

class VirtualGridTest : public QObject {
    Q_OBJECT

private slots:
    void paintsOnlyTheRowsInView();
    void keysMoveTheWholeRowSelectionToTheLastRow();
    void clickSelectsTheRowUnderThePointer();
};

void VirtualGridTest::paintsOnlyTheRowsInView()
{
    CountingModel model;
    TVirtualGrid grid;
    grid.resize(400, 18 * 11 + 2 * grid.frameWidth());
    grid.setModel(&model);
    QImage image(grid.size(), QImage::Format_ARGB32);
    grid.render(&image);

    QCOMPARE(grid.visibleRowCount(), 10);  // one row height goes to the header
    QVERIFY2(model.cellsAsked <= (grid.visibleRowCount() + 1) * 3, qPrintable(QString::number(model.cellsAsked)));
    QCOMPARE(grid.verticalScrollBar()->maximum(), CountingModel::Rows - 10);
}

void VirtualGridTest::keysMoveTheWholeRowSelectionToTheLastRow()
{
    CountingModel model;
    TVirtualGrid grid;
    showGrid(grid, model);
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(grid.currentRow(), 0);
    QTest::keyClick(&grid, Qt::Key_PageDown);
    QCOMPARE(grid.currentRow(), grid.visibleRowCount());
    QTest::keyClick(&grid, Qt::Key_End);
    QCOMPARE(grid.currentRow(), CountingModel::Rows - 1);
    QCOMPARE(grid.firstVisibleRow() + grid.visibleRowCount() - 1, CountingModel::Rows - 1);
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(grid.currentRow(), CountingModel::Rows - 1);
    QTest::keyClick(&grid, Qt::Key_Home);
    QCOMPARE(grid.currentRow(), 0);
    QCOMPARE(grid.firstVisibleRow(), 0);
}

void VirtualGridTest::clickSelectsTheRowUnderThePointer()
{
    CountingModel model;
    TVirtualGrid grid;
    showGrid(grid, model);
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.verticalScrollBar()->setValue(1000);

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(10, grid.rowHeight() * 3 + 5));
    QCOMPARE(grid.currentRow(), 1002);  // the header takes the first row height
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    QCOMPARE(grid.currentRow(), 1002);
}

QTEST_MAIN(VirtualGridTest)
#include "VirtualGridTest.moc"

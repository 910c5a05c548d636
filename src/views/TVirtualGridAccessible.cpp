#include "views/TVirtualGridAccessible.h"

#include "views/TVirtualGrid.h"
#include "views/TVirtualGridCellAccessible.h"

#include <QAbstractItemModel>

#include <limits>

namespace {

QAccessibleInterface* createForVirtualGrid(const QString&, QObject* object)
{
    if (auto* grid = qobject_cast<TVirtualGrid*>(object))
        return new TVirtualGridAccessible(grid);
    return nullptr;
}

} // namespace

void InstallVirtualGridAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(createForVirtualGrid);
        return true;
    }();
    Q_UNUSED(installed);
}

TVirtualGridAccessible::TVirtualGridAccessible(TVirtualGrid* grid)
    : QAccessibleWidget(grid, QAccessible::Table)
{
}

TVirtualGridAccessible::~TVirtualGridAccessible()
{
    forgetCells();
}

TVirtualGrid* TVirtualGridAccessible::grid() const
{
    return static_cast<TVirtualGrid*>(widget());
}

void* TVirtualGridAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

int TVirtualGridAccessible::rowCount() const
{
    return grid()->model() ? grid()->model()->rowCount() : 0;
}

int TVirtualGridAccessible::columnCount() const
{
    return grid()->model() ? grid()->model()->columnCount() : 0;
}

int TVirtualGridAccessible::headerRows() const
{
    return grid()->headerVisible() ? 1 : 0;
}

int TVirtualGridAccessible::childCount() const
{
    const qint64 cells = qint64(rowCount() + headerRows()) * columnCount();
    return int(qMin<qint64>(cells, std::numeric_limits<int>::max()));
}

QAccessibleInterface* TVirtualGridAccessible::child(int index) const
{
    const int columns = columnCount();
    if (index < 0 || index >= childCount() || columns == 0)
        return nullptr;
    return cell(index / columns - headerRows(), index % columns);
}

int TVirtualGridAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* cellInterface = child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
    if (!cellInterface || child->parent() != this)
        return -1;
    return (cellInterface->rowIndex() + headerRows()) * columnCount() + cellInterface->columnIndex();
}

QAccessibleInterface* TVirtualGridAccessible::childAt(int x, int y) const
{
    const QPoint point = grid()->viewport()->mapFromGlobal(QPoint(x, y));
    const int column = grid()->columnAt(point.x());
    if (column < 0 || !grid()->viewport()->rect().contains(point))
        return nullptr;
    if (point.y() < grid()->cellRect(-1, column).bottom() + 1 && headerRows() > 0)
        return cell(-1, column);
    const int row = grid()->rowAt(point);
    return row < 0 ? nullptr : cell(row, column);
}

QAccessibleInterface* TVirtualGridAccessible::cellAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return nullptr;
    return cell(row, column);
}

QAccessibleInterface* TVirtualGridAccessible::cell(int row, int column) const
{
    const qint64 key = (qint64(row + 1) << 32) | quint32(column);
    if (const auto found = cells_.constFind(key); found != cells_.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto* created = new TVirtualGridCellAccessible(grid(), row, column);
    cells_.insert(key, QAccessible::registerAccessibleInterface(created));
    return created;
}

QString TVirtualGridAccessible::columnDescription(int column) const
{
    return grid()->model() ? grid()->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString()
                           : QString();
}

int TVirtualGridAccessible::selectedRowCount() const
{
    return grid()->currentRow() >= 0 ? 1 : 0;
}

QList<int> TVirtualGridAccessible::selectedRows() const
{
    return grid()->currentRow() >= 0 ? QList<int>{grid()->currentRow()} : QList<int>{};
}

int TVirtualGridAccessible::selectedCellCount() const
{
    return selectedRowCount() * columnCount();
}

QList<QAccessibleInterface*> TVirtualGridAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> cells;
    for (int row : selectedRows()) {
        for (int column = 0; column < columnCount(); ++column)
            cells << cell(row, column);
    }
    return cells;
}

bool TVirtualGridAccessible::isRowSelected(int row) const
{
    return row >= 0 && row == grid()->currentRow();
}

bool TVirtualGridAccessible::selectRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    grid()->setCurrentRow(row);
    return true;
}

void TVirtualGridAccessible::modelChange(QAccessibleTableModelChangeEvent*)
{
    forgetCells();
}

void TVirtualGridAccessible::forgetCells()
{
    for (QAccessible::Id id : std::as_const(cells_))
        QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
}

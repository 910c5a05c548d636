#include "views/TVirtualGridCellAccessible.h"

#include "views/TVirtualGrid.h"
#include "views/TVirtualGridAccessible.h"

#include <QAbstractItemModel>

TVirtualGridCellAccessible::TVirtualGridCellAccessible(TVirtualGrid* grid, int row, int column)
    : Grid(grid)
    , Row(row)
    , Column(column)
{
}

bool TVirtualGridCellAccessible::isValid() const
{
    const QAbstractItemModel* model = Grid ? Grid->model() : nullptr;
    return model && Row >= -1 && Row < model->rowCount() && Column >= 0 && Column < model->columnCount();
}

QAccessibleInterface* TVirtualGridCellAccessible::parent() const
{
    return Grid ? QAccessible::queryAccessibleInterface(Grid) : nullptr;
}

QString TVirtualGridCellAccessible::text(QAccessible::Text type) const
{
    if (!isValid() || (type != QAccessible::Name && type != QAccessible::Value))
        return {};
    const QAbstractItemModel& model = *Grid->model();
    const QVariant text = Row < 0 ? model.headerData(Column, Qt::Horizontal, Qt::DisplayRole)
                                  : model.data(model.index(Row, Column), Qt::DisplayRole);
    return text.toString();
}

QRect TVirtualGridCellAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect cell = Grid->cellRect(Row, Column);
    return QRect(Grid->viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

QAccessible::Role TVirtualGridCellAccessible::role() const
{
    return Row < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
}

QAccessible::State TVirtualGridCellAccessible::state() const
{
    QAccessible::State state;
    if (!isValid())
        return state;
    const QRect cell = Grid->cellRect(Row, Column);
    state.invisible = cell.width() == 0 || !Grid->viewport()->rect().intersects(cell)
                   || (Row >= 0 && cell.top() < Grid->cellRect(-1, Column).bottom() + 1 && Grid->headerVisible());
    state.readOnly = true;
    if (Row >= 0) {
        state.selectable = true;
        state.selected = isSelected();
    }
    return state;
}

void* TVirtualGridCellAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

bool TVirtualGridCellAccessible::isSelected() const
{
    return Grid && Row >= 0 && Row == Grid->currentRow();
}

QList<QAccessibleInterface*> TVirtualGridCellAccessible::columnHeaderCells() const
{
    auto* table = parent();
    if (!table || Row < 0 || !Grid->headerVisible())
        return {};
    return {static_cast<QAccessibleInterface*>(
        static_cast<TVirtualGridAccessible*>(table->tableInterface())->cell(-1, Column))};
}

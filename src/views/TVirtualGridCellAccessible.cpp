#include "views/TVirtualGridCellAccessible.h"

#include "views/TVirtualGrid.h"
#include "views/TVirtualGridAccessible.h"

#include <QAbstractItemModel>

TVirtualGridCellAccessible::TVirtualGridCellAccessible(TVirtualGrid* grid, int row, int column)
    : grid_(grid)
    , row_(row)
    , column_(column)
{
}

bool TVirtualGridCellAccessible::isValid() const
{
    const QAbstractItemModel* model = grid_ ? grid_->model() : nullptr;
    return model && row_ >= -1 && row_ < model->rowCount() && column_ >= 0 && column_ < model->columnCount();
}

QAccessibleInterface* TVirtualGridCellAccessible::parent() const
{
    return grid_ ? QAccessible::queryAccessibleInterface(grid_) : nullptr;
}

QString TVirtualGridCellAccessible::text(QAccessible::Text type) const
{
    if (!isValid() || (type != QAccessible::Name && type != QAccessible::Value))
        return {};
    const QAbstractItemModel& model = *grid_->model();
    const QVariant text = row_ < 0 ? model.headerData(column_, Qt::Horizontal, Qt::DisplayRole)
                                  : model.data(model.index(row_, column_), Qt::DisplayRole);
    return text.toString();
}

QRect TVirtualGridCellAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect cell = grid_->cellRect(row_, column_);
    return QRect(grid_->viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

QAccessible::Role TVirtualGridCellAccessible::role() const
{
    return row_ < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
}

QAccessible::State TVirtualGridCellAccessible::state() const
{
    QAccessible::State state;
    if (!isValid())
        return state;
    const QRect cell = grid_->cellRect(row_, column_);
    state.invisible = cell.width() == 0 || !grid_->viewport()->rect().intersects(cell)
                   || (row_ >= 0 && cell.top() < grid_->cellRect(-1, column_).bottom() + 1 && grid_->headerVisible());
    state.readOnly = true;
    if (row_ >= 0) {
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
    return grid_ && row_ >= 0 && row_ == grid_->currentRow();
}

QList<QAccessibleInterface*> TVirtualGridCellAccessible::columnHeaderCells() const
{
    auto* table = parent();
    if (!table || row_ < 0 || !grid_->headerVisible())
        return {};
    return {static_cast<QAccessibleInterface*>(
        static_cast<TVirtualGridAccessible*>(table->tableInterface())->cell(-1, column_))};
}

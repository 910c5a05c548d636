#include "views/TRowTableModel.h"

#include "data/MeasurementStore.h"
#include "data/RowTableColumns.h"

#include <limits>

TRowTableModel::TRowTableModel(const TMeasurementStore& store, QObject* parent)
    : QAbstractTableModel(parent)
    , Store(store)
{
}

void TRowTableModel::Reload()
{
    beginResetModel();
    endResetModel();
}

// Qt's views count rows in int; a full log memory stays far below that.
int TRowTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return int(qMin<qint64>(Store.DataRowCount(), std::numeric_limits<int>::max()));
}

int TRowTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowTableColumnCount;
}

QVariant TRowTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return Store.cellText(index.row(), index.column());
}

QVariant TRowTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= RowTableColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return RowTableHeader(section);
}

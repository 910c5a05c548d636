#include "views/TRowTableModel.h"

#include "data/MeasurementStore.h"
#include "data/RowSpanView.h"
#include "data/RowTableColumns.h"

#include <limits>

TRowTableModel::TRowTableModel(const TMeasurementStore& store, QObject* parent)
    : QAbstractTableModel(parent)
    , store_(store)
    , texts_(store)
{
}

TRowTableModel::~TRowTableModel() = default;

void TRowTableModel::reload()
{
    texts_ = TRowTexts(store_);
    showView(nullptr);
}

void TRowTableModel::showView(std::unique_ptr<const TRowSpanView> view)
{
    beginResetModel();
    view_ = std::move(view);
    endResetModel();
}

// Qt's views count rows in int; a full log memory stays far below that.
int TRowTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    const qint64 rows = view_ ? view_->rowCount() : store_.DataRowCount();
    return int(qMin<qint64>(rows, std::numeric_limits<int>::max()));
}

int TRowTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowTableColumnCount;
}

QVariant TRowTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const qint64 row = view_ ? view_->storeRow(index.row()) : index.row();
    return texts_.cellText(row, index.column());
}

QVariant TRowTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= RowTableColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return RowTableHeader(section);
}

#include "views/TDumpLogModel.h"

#include "data/DumpLog.h"

#include <limits>

void TDumpLogModel::setDump(std::shared_ptr<const TDumpLog> dump)
{
    beginResetModel();
    dump_ = std::move(dump);
    endResetModel();
}

int TDumpLogModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !dump_)
        return 0;
    return int(qMin<qsizetype>(dump_->lineCount(), std::numeric_limits<int>::max()));
}

int TDumpLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant TDumpLogModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || !dump_)
        return {};
    return dump_->line(index.row());
}

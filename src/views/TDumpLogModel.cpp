#include "views/TDumpLogModel.h"

#include "data/DumpLog.h"

#include <limits>

void TDumpLogModel::SetDump(std::shared_ptr<const TDumpLog> dump)
{
    beginResetModel();
    Dump = std::move(dump);
    endResetModel();
}

int TDumpLogModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !Dump)
        return 0;
    return int(qMin<qsizetype>(Dump->lineCount(), std::numeric_limits<int>::max()));
}

int TDumpLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant TDumpLogModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || !Dump)
        return {};
    return Dump->line(index.row());
}

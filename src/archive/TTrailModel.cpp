#include "archive/TTrailModel.h"

#include "archive/ArchiveTexts.h"
#include "text/FormatLocale.h"

TTrailModel::TTrailModel(QObject* parent)
    : TPagedModel(parent)
    , formatter_(FormatLocale())
{
}

void TTrailModel::askForPage(quint64 serial, const TTrailQuery& page)
{
    emit pageWanted(serial, page);
}

void TTrailModel::addPage(quint64 serial, std::vector<TArchiveEvent> page, const QString& error)
{
    if (takePage(serial, std::move(page), error))
        emit pageRead(error);
}

int TTrailModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(TTrailColumn::Count);
}

QVariant TTrailModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    return TrailRowTexts(rowAt(index.row()), formatter_).value(index.column());
}

QVariant TTrailModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    return TrailColumnCaptions().value(section);
}

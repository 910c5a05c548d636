#include "archive/TArchiveListModel.h"

#include "archive/ArchiveTexts.h"
#include "text/FormatLocale.h"

TArchiveListModel::TArchiveListModel(QObject* parent)
    : TPagedModel(parent)
    , formatter_(FormatLocale())
{
}

void TArchiveListModel::askForPage(quint64 serial, const TArchiveQuery& page)
{
    emit pageWanted(serial, page);
}

void TArchiveListModel::addPage(quint64 serial, std::vector<TArchiveEntry> page, const QString& error)
{
    if (takePage(serial, std::move(page), error))
        emit pageRead(error);
}

int TArchiveListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TArchiveListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const TArchiveEntry& entry = entryAt(index.row());
    if (role == Qt::DisplayRole)
        return cellText(entry, index.column());
    if (role == Qt::TextAlignmentRole && index.column() == ColumnRows)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QString TArchiveListModel::cellText(const TArchiveEntry& entry, int column) const
{
    switch (column) {
    case ColumnDevice:
        return entry.label;
    case ColumnPeriod:
        return entry.summary.rowCount == 0 ? QString()
                                           : formatter_.dateTimeText(entry.summary.firstTime) + QStringLiteral(" - ")
                                                 + formatter_.dateTimeText(entry.summary.lastTime);
    case ColumnRows:
        return formatter_.locale().toString(entry.summary.rowCount);
    case ColumnDownloaded:
        return ArchiveStampTimeText(entry.stored, formatter_);
    case ColumnBy:
        return ArchiveStampByText(entry.stored);
    default:
        return {};
    }
}

QVariant TArchiveListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const captions[ColumnCount] = {"Прибор", "Период", "Строк", "Загружен", "Кем"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromUtf8(captions[section]);
}

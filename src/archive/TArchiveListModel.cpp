#include "archive/TArchiveListModel.h"

#include "data/Timestamp.h"
#include "text/FormatLocale.h"

#include <QDateTime>

TArchiveListModel::TArchiveListModel(TArchive& archive, QObject* parent)
    : QAbstractTableModel(parent)
    , archive_(archive)
    , formatter_(FormatLocale())
{
    filter_.limit = PageSize;
}

void TArchiveListModel::setFilter(const TArchiveQuery& filter)
{
    filter_ = filter;
    filter_.beforeId = 0;
    filter_.limit = PageSize;
    beginResetModel();
    entries_.clear();
    complete_ = false;
    entries_ = nextPage();
    endResetModel();
}

std::vector<TArchiveEntry> TArchiveListModel::nextPage()
{
    TArchiveQuery page = filter_;
    page.beforeId = entries_.empty() ? 0 : entries_.back().id;
    QString error;
    std::vector<TArchiveEntry> entries = archive_.entries(page, &error);
    complete_ = !error.isEmpty() || int(entries.size()) < PageSize;
    if (!error.isEmpty())
        emit failed(error);
    return entries;
}

int TArchiveListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(entries_.size());
}

int TArchiveListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

bool TArchiveListModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !complete_;
}

void TArchiveListModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    std::vector<TArchiveEntry> page = nextPage();
    if (page.empty())
        return;
    beginInsertRows({}, int(entries_.size()), int(entries_.size() + page.size()) - 1);
    entries_.insert(entries_.end(), std::make_move_iterator(page.begin()), std::make_move_iterator(page.end()));
    endInsertRows();
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
    case ColumnDownloaded: {
        // The PC's clock then, with its offset, as the trail keeps it.
        const QDateTime at = QDateTime::fromSecsSinceEpoch(entry.stored.utcSeconds, Qt::OffsetFromUTC,
                                                           entry.stored.utcOffsetSeconds);
        const qint64 wallClock = TimestampSeconds(at.date().year(), at.date().month(), at.date().day(),
                                                  at.time().hour(), at.time().minute(), at.time().second());
        return formatter_.dateTimeText(wallClock) + QLatin1Char(' ') + at.timeZoneAbbreviation();
    }
    case ColumnBy:
        return entry.stored.host.isEmpty() ? entry.stored.user : entry.stored.user + QLatin1Char('@') + entry.stored.host;
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

#include "archive/TArchiveListModel.h"

#include "data/Timestamp.h"
#include "text/FormatLocale.h"

#include <QDateTime>

TArchiveListModel::TArchiveListModel(QObject* parent)
    : QAbstractTableModel(parent)
    , formatter_(FormatLocale())
{
    filter_.limit = PageSize;
}

void TArchiveListModel::setFilter(const TArchiveQuery& filter)
{
    filter_ = filter;
    filter_.limit = PageSize;
    clear();
    complete_ = false;
    askForPage();
}

void TArchiveListModel::clear()
{
    beginResetModel();
    entries_.clear();
    endResetModel();
    complete_ = true;
    wanted_ = 0;
}

void TArchiveListModel::askForPage()
{
    TArchiveQuery page = filter_;
    page.beforeId = entries_.empty() ? 0 : entries_.back().id;
    wanted_ = ++lastSerial_;
    emit pageWanted(wanted_, page);
}

void TArchiveListModel::addPage(quint64 serial, std::vector<TArchiveEntry> page, const QString& error)
{
    if (serial != wanted_)
        return;
    wanted_ = 0;
    complete_ = !error.isEmpty() || int(page.size()) < PageSize;
    if (!page.empty()) {
        beginInsertRows({}, int(entries_.size()), int(entries_.size() + page.size()) - 1);
        entries_.insert(entries_.end(), std::make_move_iterator(page.begin()), std::make_move_iterator(page.end()));
        endInsertRows();
    }
    emit pageRead(error);
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
    return !parent.isValid() && !complete_ && !isReading();
}

void TArchiveListModel::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent))
        askForPage();
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

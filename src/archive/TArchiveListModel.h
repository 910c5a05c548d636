#pragma once

#include "archive/TArchive.h"
#include "data/CellFormatter.h"

#include <QAbstractTableModel>

#include <vector>

// The archive's entries for a list: newest first, as the filter asks, a page
// at a time as the view scrolls (canFetchMore/fetchMore), so a list of
// 100,000 entries shows its first screen at once. The model does not read
// the archive: it asks for each page by pageWanted and takes it by addPage,
// so whoever reads may take its time on a thread of its own.
class TArchiveListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { ColumnDevice, ColumnPeriod, ColumnRows, ColumnDownloaded, ColumnBy, ColumnCount };
    static constexpr int PageSize = 100;

    explicit TArchiveListModel(QObject* parent = nullptr);

    // Empties the list and asks for the first page of the entries the filter
    // lets through (its beforeId and limit are the model's).
    void setFilter(const TArchiveQuery& filter);
    // Empties the list until the next filter; a page awaited is dropped.
    void clear();
    // The page asked for as `serial`, or why it could not be read (the list
    // keeps what it had); a page asked for before the last one is dropped.
    void addPage(quint64 serial, std::vector<TArchiveEntry> page, const QString& error);
    // Whether a page was asked for and has not come yet.
    bool isReading() const { return wanted_ != 0; }
    const TArchiveEntry& entryAt(int row) const { return entries_[size_t(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

signals:
    void pageWanted(quint64 serial, const TArchiveQuery& page);
    // The page wanted was added, or could not be read: `error` says why,
    // and the list keeps what it had.
    void pageRead(const QString& error);

private:
    void askForPage();
    QString cellText(const TArchiveEntry& entry, int column) const;

    TArchiveQuery filter_;
    std::vector<TArchiveEntry> entries_;
    bool complete_ = true;
    quint64 lastSerial_ = 0;
    quint64 wanted_ = 0; // the serial of the page asked for, 0 when none is
    TCellFormatter formatter_;
};

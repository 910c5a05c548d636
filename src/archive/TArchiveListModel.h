#pragma once

#include "archive/TArchive.h"
#include "data/CellFormatter.h"

#include <QAbstractTableModel>

#include <vector>

// The archive's entries for a list: newest first, as the filter asks, read a
// page at a time as the view scrolls (canFetchMore/fetchMore), so a list of
// 100,000 entries shows its first screen at once.
class TArchiveListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { ColumnDevice, ColumnPeriod, ColumnRows, ColumnDownloaded, ColumnBy, ColumnCount };
    static constexpr int PageSize = 100;

    explicit TArchiveListModel(TArchive& archive, QObject* parent = nullptr);

    // Lists afresh the entries the filter lets through (its beforeId and limit are the model's).
    void setFilter(const TArchiveQuery& filter);
    void refresh() { setFilter(filter_); }
    const TArchiveEntry& entryAt(int row) const { return entries_[size_t(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

signals:
    // The archive could not be read; the list keeps what it had.
    void failed(const QString& message);

private:
    std::vector<TArchiveEntry> nextPage();
    QString cellText(const TArchiveEntry& entry, int column) const;

    TArchive& archive_;
    TArchiveQuery filter_;
    std::vector<TArchiveEntry> entries_;
    bool complete_ = true;
    TCellFormatter formatter_;
};

#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <iterator>
#include <vector>

// The paging of the archive's lists: rows newest first, read a page at a
// time as the view scrolls (canFetchMore/fetchMore), so a list of 100,000
// rows shows its first screen at once. The model does not read the archive:
// it asks for each page by askForPage and takes it by takePage, so whoever
// reads may take its time on a thread of its own. A row has the `id` the
// next page is read below; a query its `beforeId` and `limit`, which are
// the model's.
template <typename Row, typename Query>
class TPagedModel : public QAbstractTableModel
{
public:
    static constexpr int PageSize = 100;

    explicit TPagedModel(QObject* parent = nullptr)
        : QAbstractTableModel(parent)
    {
        filter_.limit = PageSize;
    }

    // Empties the list and asks for the first page of the rows the filter
    // lets through.
    void setFilter(const Query& filter)
    {
        filter_ = filter;
        filter_.limit = PageSize;
        restart();
    }
    const Query& filter() const { return filter_; }

    // Empties the list until the next restart; a page awaited is dropped.
    void clear()
    {
        beginResetModel();
        rows_.clear();
        endResetModel();
        complete_ = true;
        wanted_ = 0;
    }
    // Whether a page was asked for and has not come yet.
    bool isReading() const { return wanted_ != 0; }
    const Row& rowAt(int row) const { return rows_[size_t(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()); }
    bool canFetchMore(const QModelIndex& parent) const override
    {
        return !parent.isValid() && !complete_ && !isReading();
    }
    void fetchMore(const QModelIndex& parent) override
    {
        if (canFetchMore(parent))
            askForNextPage();
    }

protected:
    // Empties the list and asks for its first page.
    void restart()
    {
        clear();
        complete_ = false;
        askForNextPage();
    }
    // The page asked for as `serial`, or why it could not be read (the list
    // keeps what it had); false for a page asked for before the last one,
    // which is dropped.
    bool takePage(quint64 serial, std::vector<Row> page, const QString& error)
    {
        if (serial != wanted_)
            return false;
        wanted_ = 0;
        complete_ = !error.isEmpty() || int(page.size()) < PageSize;
        if (!page.empty()) {
            beginInsertRows({}, int(rows_.size()), int(rows_.size() + page.size()) - 1);
            rows_.insert(rows_.end(), std::make_move_iterator(page.begin()), std::make_move_iterator(page.end()));
            endInsertRows();
        }
        return true;
    }
    // Asks for the page: at most PageSize rows older than its `beforeId`
    // (0: from the newest).
    virtual void askForPage(quint64 serial, const Query& page) = 0;

private:
    void askForNextPage()
    {
        wanted_ = ++lastSerial_;
        Query page = filter_;
        page.beforeId = rows_.empty() ? 0 : rows_.back().id;
        askForPage(wanted_, page);
    }

    Query filter_;
    std::vector<Row> rows_;
    bool complete_ = true;
    quint64 lastSerial_ = 0;
    quint64 wanted_ = 0; // the serial of the page asked for, 0 when none is
};

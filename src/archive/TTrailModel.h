#pragma once

#include "archive/TArchive.h"
#include "archive/TPagedModel.h"
#include "data/CellFormatter.h"

#include <vector>

// The archive's trail for a list: its events newest first, as the filter
// asks, a page at a time (archive/TPagedModel.h): each page is asked for by
// pageWanted and taken by addPage. The columns are those of archive/ArchiveTexts.h.
class TTrailModel : public TPagedModel<TArchiveEvent, TTrailQuery>
{
    Q_OBJECT

public:
    explicit TTrailModel(QObject* parent = nullptr);

    // The page asked for as `serial`, or why it could not be read (the list
    // keeps what it had); a page asked for before the last one is dropped.
    void addPage(quint64 serial, std::vector<TArchiveEvent> page, const QString& error);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void pageWanted(quint64 serial, const TTrailQuery& page);
    // The page wanted was added, or could not be read: `error` says why,
    // and the list keeps what it had.
    void pageRead(const QString& error);

private:
    void askForPage(quint64 serial, const TTrailQuery& page) override;

    TCellFormatter formatter_;
};

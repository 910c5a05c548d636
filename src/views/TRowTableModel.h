#pragma once

#include "data/RowTexts.h"

#include <QAbstractTableModel>

#include <memory>

class TMeasurementStore;
class TRowSpanView;

// The store's row table as a Qt table model: seven columns under the table
// headers, one row per data row, every cell formatted when it is shown.
// Given a filtered view, it shows that view's rows instead.
class TRowTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TRowTableModel(const TMeasurementStore& store, QObject* parent = nullptr);
    ~TRowTableModel() override;

    // Call after the store has been replaced by a load: shows every row again.
    void reload();
    // Shows the view's rows; nullptr shows every row.
    void showView(std::unique_ptr<const TRowSpanView> view);
    const TRowSpanView* view() const { return view_.get(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TMeasurementStore& store_;
    TRowTexts texts_;
    std::unique_ptr<const TRowSpanView> view_;
};

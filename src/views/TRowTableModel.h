#pragma once

#include <QAbstractTableModel>

class TMeasurementStore;

// The store's row table as a Qt table model: seven columns under the table
// headers, one row per data row, every cell formatted when it is shown.
class TRowTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TRowTableModel(const TMeasurementStore& store, QObject* parent = nullptr);

    // Call after the store has been replaced by a load.
    void Reload();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TMeasurementStore& Store;
};

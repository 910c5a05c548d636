#pragma once

#include <QAbstractTableModel>

#include <memory>

class TDumpLog;

// The loader's dump as a one-column model whose lines are made when shown.
class TDumpLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setDump(std::shared_ptr<const TDumpLog> dump);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::shared_ptr<const TDumpLog> dump_;
};

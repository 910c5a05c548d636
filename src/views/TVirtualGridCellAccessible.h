#pragma once

#include <QAccessible>
#include <QPointer>

class TVirtualGrid;

// One cell of a TVirtualGrid for assistive technology; row -1 is a column
// header. It reads the grid on every question, so it never goes stale.
class TVirtualGridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    TVirtualGridCellAccessible(TVirtualGrid* grid, int row, int column);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<TVirtualGrid> grid_;
    int row_;
    int column_;
};

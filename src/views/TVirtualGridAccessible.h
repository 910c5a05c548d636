#pragma once

#include <QAccessibleWidget>
#include <QHash>

class TVirtualGrid;

// Lets assistive technology read a TVirtualGrid as it reads a stock table:
// its rows, columns, header texts and cell texts. Cell interfaces are made
// only for the cells asked for, so a grid of millions of rows costs nothing
// until a reader walks it.
class TVirtualGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TVirtualGridAccessible(TVirtualGrid* grid);
    ~TVirtualGridAccessible() override;

    TVirtualGrid* grid() const;
    void* interface_cast(QAccessible::InterfaceType type) override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override;
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // Row -1 is the header row.
    QAccessibleInterface* cell(int row, int column) const;

private:
    int headerRows() const;
    void forgetCells();

    mutable QHash<qint64, QAccessible::Id> cells_;
};

// Makes QAccessible build a TVirtualGridAccessible for every TVirtualGrid.
void InstallVirtualGridAccessibility();

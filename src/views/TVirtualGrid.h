#pragma once

#include <QAbstractScrollArea>
#include <QPointer>

#include <vector>

class QAbstractItemModel;

// A read-only grid that asks its model only for the cells in view, so it
// shows tens of millions of rows as cheaply as forty: no per-row state is
// kept, unlike QTableView's headers. Whole rows are selected; the header
// row stays in view.
class TVirtualGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TVirtualGrid(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model);
    QAbstractItemModel* model() const { return model_; }

    void setHeaderVisible(bool visible);
    bool headerVisible() const { return headerVisible_; }
    void setGridVisible(bool visible);
    void setRowHeight(int height);
    int rowHeight() const { return rowHeight_; }
    void setColumnWidth(int column, int width);
    int columnWidth(int column) const;

    int currentRow() const { return currentRow_; }
    void setCurrentRow(int row);
    int firstVisibleRow() const;
    int visibleRowCount() const;
    // The row under a point of the viewport, or -1.
    int rowAt(QPoint viewportPoint) const;
    // The column under a viewport x, or -1.
    int columnAt(int viewportX) const;
    // A cell's rectangle in viewport coordinates; row -1 is the header.
    QRect cellRect(int row, int column) const;

signals:
    void currentRowChanged(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void modelReset();
    int rowCount() const;
    int columnCount() const;
    int headerHeight() const;
    int contentWidth() const;
    void updateScrollBars();
    void ensureRowVisible(int row);
    void paintRow(QPainter& painter, int top, int row, bool header, const QColor& textColour) const;

    QPointer<QAbstractItemModel> model_;
    std::vector<int> columnWidths_;
    int defaultColumnWidth_ = 80;
    int rowHeight_ = 18;
    bool headerVisible_ = true;
    bool gridVisible_ = true;
    int currentRow_ = -1;
};

#include "views/TVirtualGrid.h"

#include "views/TVirtualGridAccessible.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

TVirtualGrid::TVirtualGrid(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    InstallVirtualGridAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(20);
}

void TVirtualGrid::setModel(QAbstractItemModel* model)
{
    if (model_)
        model_->disconnect(this);
    model_ = model;
    if (model_) {
        connect(model_, &QAbstractItemModel::modelReset, this, &TVirtualGrid::modelReset);
        connect(model_, &QAbstractItemModel::rowsInserted, this, &TVirtualGrid::modelReset);
        connect(model_, &QAbstractItemModel::rowsRemoved, this, &TVirtualGrid::modelReset);
        connect(model_, &QAbstractItemModel::dataChanged, viewport(), qOverload<>(&QWidget::update));
        connect(model_, &QAbstractItemModel::headerDataChanged, viewport(), qOverload<>(&QWidget::update));
    }
    modelReset();
}

void TVirtualGrid::modelReset()
{
    if (currentRow_ >= rowCount())
        currentRow_ = -1;
    updateScrollBars();
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&event);
    }
}

int TVirtualGrid::rowCount() const
{
    return model_ ? model_->rowCount() : 0;
}

int TVirtualGrid::columnCount() const
{
    return model_ ? model_->columnCount() : 0;
}

void TVirtualGrid::setHeaderVisible(bool visible)
{
    headerVisible_ = visible;
    updateScrollBars();
    viewport()->update();
}

void TVirtualGrid::setGridVisible(bool visible)
{
    gridVisible_ = visible;
    viewport()->update();
}

void TVirtualGrid::setRowHeight(int height)
{
    rowHeight_ = std::max(1, height);
    updateScrollBars();
    viewport()->update();
}

void TVirtualGrid::setColumnWidth(int column, int width)
{
    if (column < 0)
        return;
    if (size_t(column) >= columnWidths_.size())
        columnWidths_.resize(size_t(column) + 1, defaultColumnWidth_);
    columnWidths_[size_t(column)] = std::max(0, width);
    updateScrollBars();
    viewport()->update();
}

int TVirtualGrid::columnWidth(int column) const
{
    if (column < 0)
        return 0;
    return size_t(column) < columnWidths_.size() ? columnWidths_[size_t(column)] : defaultColumnWidth_;
}

int TVirtualGrid::headerHeight() const
{
    return headerVisible_ ? rowHeight_ : 0;
}

int TVirtualGrid::contentWidth() const
{
    int width = 0;
    for (int column = 0; column < columnCount(); ++column)
        width += columnWidth(column);
    return width;
}

int TVirtualGrid::visibleRowCount() const
{
    return std::max(1, (viewport()->height() - headerHeight()) / rowHeight_);
}

int TVirtualGrid::firstVisibleRow() const
{
    return verticalScrollBar()->value();
}

int TVirtualGrid::rowAt(QPoint viewportPoint) const
{
    if (viewportPoint.y() < headerHeight())
        return -1;
    const int row = firstVisibleRow() + (viewportPoint.y() - headerHeight()) / rowHeight_;
    return row < rowCount() ? row : -1;
}

int TVirtualGrid::columnAt(int viewportX) const
{
    int left = -horizontalScrollBar()->value();
    for (int column = 0; column < columnCount(); ++column) {
        left += columnWidth(column);
        if (viewportX < left)
            return column;
    }
    return -1;
}

QRect TVirtualGrid::cellRect(int row, int column) const
{
    int left = -horizontalScrollBar()->value();
    for (int previous = 0; previous < column; ++previous)
        left += columnWidth(previous);
    const int top = row < 0 ? 0 : headerHeight() + (row - firstVisibleRow()) * rowHeight_;
    return QRect(left, top, columnWidth(column), rowHeight_);
}

void TVirtualGrid::updateScrollBars()
{
    // One scroll step is one row, so the range stays an int for any row count.
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - visibleRowCount()));
    verticalScrollBar()->setPageStep(visibleRowCount());
    horizontalScrollBar()->setRange(0, std::max(0, contentWidth() - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

void TVirtualGrid::setCurrentRow(int row)
{
    row = std::clamp(row, rowCount() > 0 ? 0 : -1, rowCount() - 1);
    if (row == currentRow_)
        return;
    currentRow_ = row;
    ensureRowVisible(row);
    viewport()->update();
    emit currentRowChanged(row);
}

void TVirtualGrid::ensureRowVisible(int row)
{
    if (row < 0)
        return;
    if (row < firstVisibleRow())
        verticalScrollBar()->setValue(row);
    else if (row >= firstVisibleRow() + visibleRowCount())
        verticalScrollBar()->setValue(row - visibleRowCount() + 1);
}

void TVirtualGrid::paintRow(QPainter& painter, int top, int row, bool header, const QColor& textColour) const
{
    const QColor gridColour = palette().color(QPalette::Mid);
    int left = -horizontalScrollBar()->value();
    for (int column = 0; column < columnCount(); ++column) {
        const int width = columnWidth(column);
        if (width > 0 && left + width > 0 && left < viewport()->width()) {
            const QRect cell(left, top, width, rowHeight_);
            const QVariant text = header ? model_->headerData(column, Qt::Horizontal, Qt::DisplayRole)
                                         : model_->data(model_->index(row, column), Qt::DisplayRole);
            if (gridVisible_) {
                painter.setPen(gridColour);
                painter.drawRect(cell.adjusted(0, 0, -1, -1));
            }
            painter.setPen(textColour);
            painter.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft, text.toString());
        }
        left += width;
    }
}

void TVirtualGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    if (!model_)
        return;
    painter.setBrush(Qt::NoBrush);
    const int first = firstVisibleRow();
    const int last = std::min(rowCount(), first + visibleRowCount() + 1);
    for (int row = first; row < last; ++row) {
        const int top = headerHeight() + (row - first) * rowHeight_;
        const bool selected = row == currentRow_;
        if (selected)
            painter.fillRect(QRect(0, top, viewport()->width(), rowHeight_), palette().highlight());
        paintRow(painter, top, row, false,
                 palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
    }
    if (headerVisible_) {
        painter.fillRect(QRect(0, 0, viewport()->width(), rowHeight_), palette().button());
        paintRow(painter, 0, -1, true, palette().color(QPalette::ButtonText));
    }
}

void TVirtualGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TVirtualGrid::keyPressEvent(QKeyEvent* event)
{
    const int page = visibleRowCount();
    switch (event->key()) {
    case Qt::Key_Down: setCurrentRow(currentRow_ + 1); break;
    case Qt::Key_Up: setCurrentRow(std::max(0, currentRow_ - 1)); break;
    case Qt::Key_PageDown: setCurrentRow(currentRow_ + page); break;
    case Qt::Key_PageUp: setCurrentRow(std::max(0, currentRow_ - page)); break;
    case Qt::Key_Home: setCurrentRow(0); break;
    case Qt::Key_End: setCurrentRow(rowCount() - 1); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
}

void TVirtualGrid::mousePressEvent(QMouseEvent* event)
{
    const int row = rowAt(event->position().toPoint());
    if (row >= 0)
        setCurrentRow(row);
    QAbstractScrollArea::mousePressEvent(event);
}

void TVirtualGrid::scrollContentsBy(int, int)
{
    viewport()->update();
}

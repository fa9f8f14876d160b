// Painting: cells in the four areas (fixed/scrolling columns by fixed/scrolling rows), the
// lines between them, the focus frame, and the marks of a column being sized or moved.

#include "grid/CustomGrid.h"

#include "grid/InplaceEdit.h"

#include <QPaintEvent>
#include <QPainter>

namespace cibrano {

QColor TCustomGrid::gridColor() const {
    return palette().color(QPalette::Base);
}

QColor TCustomGrid::fixedColor() const {
    return palette().color(QPalette::Button);
}

QColor TCustomGrid::fixedLineColor() const {
    // The window frame: a dark grey, as desktop grids draw it.
    return QColor(100, 100, 100);
}

QColor TCustomGrid::lineColor() const {
    // Silver lines, grey on a silver grid.
    return gridColor() == QColor(192, 192, 192) ? QColor(128, 128, 128) : QColor(192, 192, 192);
}

void TCustomGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    try {
        paintGrid(painter, event->rect());
    } catch (const std::exception&) {
        // Painting happens again and again: an error here would come back on every repaint.
        // The cell simply stays empty; the next action reports what is wrong.
    }
}

void TCustomGrid::paintGrid(QPainter& painter, const QRect&) {
    const QRect client = clientRect();
    painter.fillRect(client, gridColor());
    paintCells(painter, 0, fixedCols_ - 1, 0, rowCount_ - 1);
    paintCells(painter, leftCol_, colCount_ - 1, 0, rowCount_ - 1);
    paintLines(painter);

    // The focus frame around the current cell of a focused grid (under a visible editor it
    // does not show).
    if (isActiveControl() && !gridOptions_.contains(goRowSelect) &&
        !(inplaceEdit_ && inplaceEdit_->isVisible())) {
        const QRect r = cellRect(current_.X, current_.Y);
        if (!r.isEmpty() && current_.X >= fixedCols_ && current_.Y >= fixedRows_) {
            QPen pen(palette().color(QPalette::HighlightedText));
            pen.setStyle(Qt::DotLine);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r.adjusted(0, 0, -1, -1));
        }
    }
    if (gridState_ == gsColMoving)
        drawMove(painter);
    else if (gridState_ == gsColSizing)
        drawSizingLine(painter);
}

void TCustomGrid::paintCells(QPainter& painter, int firstCol, int lastCol, int firstRow,
                             int lastRow) {
    const QRect client = clientRect();
    const bool fixedHorz = gridOptions_.contains(goFixedHorzLine);
    const bool fixedVert = gridOptions_.contains(goFixedVertLine);
    for (int row = firstRow; row <= lastRow; ++row) {
        const int y = rowTop(row);
        if (y < 0 || y >= client.height())
            continue;
        for (int col = firstCol; col <= lastCol; ++col) {
            const int x = colLeft(col);
            if (x < 0 || x >= client.width())
                continue;
            const QRect r(x, y, colWidth(col), rowHeight(row));
            TGridDrawState state;
            const bool fixed = col < fixedCols_ || row < fixedRows_;
            if (fixed)
                state.include(gdFixed);
            if (!fixed && row == current_.Y &&
                (col == current_.X || gridOptions_.contains(goRowSelect))) {
                state.include(gdSelected);
                if (isActiveControl())
                    state.include(gdFocused);
            }
            painter.save();
            painter.setClipRect(r);
            if (fixed) {
                painter.fillRect(r, fixedColor());
                // Fixed cells stand out raised, on the sides where lines separate them.
                const QColor light = palette().color(QPalette::Light);
                const QColor shadow = palette().color(QPalette::Mid);
                if (fixedVert) {
                    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), light);
                    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), shadow);
                }
                if (fixedHorz) {
                    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), light);
                    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), shadow);
                }
            } else {
                painter.fillRect(r, gridColor());
            }
            drawCell(painter, col, row, r, state);
            painter.restore();
        }
    }
}

void TCustomGrid::paintLines(QPainter& painter) {
    const QRect client = clientRect();
    const AxisInfo h = horzInfo(client.width());
    const AxisInfo v = vertInfo(client.height());
    if (h.lineWidth == 0 && v.lineWidth == 0)
        return;
    const QColor fixedLine = fixedLineColor();
    const QColor dataLine = lineColor();
    const QColor background = gridColor();
    const int bottom = v.gridBoundary;
    const int right = h.gridBoundary;

    // Vertical lines after every shown column.
    if (h.lineWidth > 0) {
        auto columnLine = [&](int col) {
            const int x = colLeft(col);
            if (x < 0)
                return;
            const int lx = x + colWidth(col);
            if (lx >= client.width())
                return;
            const bool fixedCol = col < fixedCols_;
            const QColor top = gridOptions_.contains(goFixedVertLine) ? fixedLine : background;
            painter.fillRect(QRect(lx, 0, h.lineWidth, v.fixedBoundary), top);
            QColor rest;
            if (fixedCol)
                rest = gridOptions_.contains(goFixedVertLine) ? fixedLine : fixedColor();
            else
                rest = gridOptions_.contains(goVertLine) ? dataLine : background;
            painter.fillRect(QRect(lx, v.fixedBoundary, h.lineWidth, bottom - v.fixedBoundary),
                             rest);
        };
        for (int col = 0; col < fixedCols_; ++col)
            columnLine(col);
        for (int col = leftCol_; col < colCount_; ++col)
            columnLine(col);
    }
    // Horizontal lines after every shown row.
    if (v.lineWidth > 0) {
        for (int row = 0; row < rowCount_; ++row) {
            const int y = rowTop(row);
            if (y < 0)
                continue;
            const int ly = y + rowHeight(row);
            if (ly >= client.height())
                continue;
            const bool fixedRow = row < fixedRows_;
            const QColor left = gridOptions_.contains(goFixedHorzLine) ? fixedLine : fixedColor();
            painter.fillRect(QRect(0, ly, h.fixedBoundary, v.lineWidth), left);
            QColor rest;
            if (fixedRow)
                rest = gridOptions_.contains(goFixedHorzLine) ? fixedLine : fixedColor();
            else
                rest = gridOptions_.contains(goHorzLine) ? dataLine : background;
            painter.fillRect(QRect(h.fixedBoundary, ly, right - h.fixedBoundary, v.lineWidth),
                             rest);
        }
    }
}

void TCustomGrid::drawCell(QPainter&, int, int, const QRect&, TGridDrawState) {}

void TCustomGrid::drawMove(QPainter& painter) {
    // Where the moved column would land: a bar on the left edge of that column (on its
    // right edge when it moves to the right).
    const QRect r = cellRect(movePos_, 0);
    if (r.isEmpty())
        return;
    const int x = movePos_ > moveIndex_ ? r.right() + 1 : r.left() - 1;
    painter.fillRect(QRect(x - 1, 0, 3, vertInfo(clientRect().height()).gridBoundary),
                     palette().color(QPalette::Highlight));
}

void TCustomGrid::drawSizingLine(QPainter& painter) {
    painter.fillRect(QRect(sizingPos_, 0, 1, vertInfo(clientRect().height()).gridBoundary),
                     palette().color(QPalette::WindowText));
}

} // namespace cibrano

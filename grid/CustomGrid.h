#pragma once
// TCustomGrid: a grid of cells that paints itself over a QAbstractScrollArea: fixed columns
// and rows (drawn raised in the fixed-cell colour), lines between cells, a current cell, an
// in-place editor, column sizing and moving with the mouse, and a horizontal scroll bar that
// scrolls whole columns. Rows do not scroll here: the data grid owns the vertical bar.
//
// Coordinates are the viewport's, in logical pixels. Every Qt event handler catches what the
// grid's work raises and hands it to the application's error reporter (Qt does not let an
// exception cross its event loop), then lets the grid recover (recoverFromError).

#include "grid/GridTypes.h"
#include "platform/AnsiString.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QPoint>
#include <QRect>

#include <exception>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace cibrano {

class TInplaceEdit;
class TTimer;

class TCustomGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TCustomGrid(QWidget* parent = nullptr);
    ~TCustomGrid() override;

    // --- Geometry ------------------------------------------------------------------------
    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    int Col() const { return current_.X; }
    int Row() const { return current_.Y; }
    int LeftCol() const { return leftCol_; }
    void setLeftCol(int col);
    int colWidth(int col) const;
    int rowHeight(int row) const;
    int DefaultColWidth() const { return defaultColWidth_; }
    int DefaultRowHeight() const { return defaultRowHeight_; }
    int GridLineWidth() const { return gridLineWidth_; }
    TGridOptions gridOptions() const { return gridOptions_; }
    TGridState gridState() const { return gridState_; }
    // The cell's rectangle in the viewport; empty when the cell is not shown.
    QRect cellRect(int col, int row) const;
    // The cell under a viewport point; (-1, -1) outside every cell.
    TGridCoord mouseCoord(int x, int y) const;
    // Rows and columns that fit entirely after the fixed ones (at least 1).
    int visibleRowCount() const;
    int visibleColCount() const;
    // Columns that can take the cursor from the keyboard.
    bool tabStop(int col) const;

    // --- Colours -------------------------------------------------------------------------
    // Data cells (the window colour), fixed cells (the button face), the lines between fixed
    // cells (the window frame) and between data cells (silver).
    QColor gridColor() const;
    QColor fixedColor() const;
    QColor fixedLineColor() const;
    QColor lineColor() const;

    // --- The in-place editor ---------------------------------------------------------------
    bool EditorMode() const { return editorMode_; }
    void setEditorMode(bool value);
    TInplaceEdit* InplaceEditor() const { return inplaceEdit_; }
    void showEditor();
    void hideEditor();
    // The user starts to change the cell (F2, Enter, a click on the current cell, a typed
    // character): the grid may first have to prepare (the data grid puts its dataset into
    // edit state). Answers whether the editor may go on.
    bool startEditor();

    // Cancels what the mouse is doing (sizing, moving, a pressed title): what Windows calls
    // cancelling the mouse mode, for example when another window takes the capture.
    virtual void cancelMode();

    // The grid or its editor holds the keyboard focus (in its window).
    bool isActiveControl() const;

    // The grid's key handling, as the editor hands keys on to it. `key` is a Qt::Key; 0 when
    // handled or dropped.
    virtual void keyDown(int& key, Qt::KeyboardModifiers modifiers);
    // A character typed: '\r' for Enter, '\b' for Backspace, else a Windows-1252 byte.
    virtual void keyPress(char& ch);
    // Whether a key the grid receives is left to the window after OnKeyDown and the grid's own
    // handling (Escape with nothing to cancel, so that a dialog closes). Asked before both.
    virtual bool passesKeyOn(int key) const;

    // What the editor asks of the grid.
    virtual bool canEditAcceptKey(char ch) const;
    // Whether the cell may change now; the data grid puts its dataset into edit state here.
    virtual bool canEditModify();
    virtual bool canEditShow() const;
    virtual AnsiString getEditText(int col, int row);
    virtual void setEditText(int col, int row, const AnsiString& text);
    // 0 for no limit.
    virtual int getEditLimit() const { return 0; }
    virtual Qt::Alignment editAlignment() const { return Qt::AlignLeft; }
    // The grid's OnKeyDown, for keys the editor handles itself.
    virtual void doKeyDownEvent(int& key, Qt::KeyboardModifiers modifiers);

    // Runs `action` as an event handler does: an exception goes to the application's error
    // reporter and the grid recovers. Whatever repeats while a mouse button is held stops
    // before the error is shown (stopMouseRepeat).
    void guarded(const std::function<void()>& action);

protected:
    // --- Layout for derived grids ----------------------------------------------------------
    void setColCount(int count);
    void setRowCount(int count);
    void setFixedCols(int count);
    void setFixedRows(int count);
    void setColWidth(int col, int width);
    void setRowHeight(int row, int height);
    void setDefaultColWidth(int width);
    void setDefaultRowHeight(int height);
    void setGridOptions(TGridOptions options);
    void setTabStop(int col, bool value);
    // Moves the current cell (checked by selectCell) and scrolls it into view.
    void moveColRow(int col, int row, bool show);
    void focusCell(int col, int row);
    void invalidateCell(int col, int row);
    void invalidateCol(int col);
    void invalidateRow(int row);
    void invalidateGrid();
    // The editor shows the current cell's text anew.
    void invalidateEditor();
    // The editor follows the current cell: shown, moved, refilled as needed.
    void updateEdit();
    // The editor's text goes to setEditText.
    void updateText();

    // --- What derived grids override ---------------------------------------------------------
    // Draws one cell; fixed cells arrive filled in the fixed colour and bevelled.
    virtual void drawCell(QPainter& painter, int col, int row, const QRect& rect,
                          TGridDrawState state);
    virtual bool selectCell(int col, int row);
    virtual void colWidthsChanged() {}
    virtual void columnMoved(int from, int to);
    virtual bool beginColumnDrag(int& origin, int& destination, const QPoint& mouse);
    virtual bool checkColumnDrag(int& origin, int& destination, const QPoint& mouse);
    virtual bool endColumnDrag(int& origin, int& destination, const QPoint& mouse);
    virtual void topLeftChanged();
    // The viewport changed size.
    virtual void sizeChanged() {}
    // After an error was reported: bring the display back in line with the state.
    virtual void recoverFromError();
    // Mouse handling in the grid's own terms (viewport coordinates).
    virtual void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y,
                           bool doubleClick);
    virtual void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    virtual void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    virtual void dblClick() {}
    // Prepares the change of the current cell; false refuses it.
    virtual bool beginCellEdit() { return true; }
    // A character typed on the grid while its editor is hidden.
    void charOnGrid(char ch);
    // Stops what repeats while a mouse button is held: a scroll bar's arrow or trough (the bar
    // is released as if the button had come up), a column dragged on the 60 ms timer, a title
    // held down. A message box opened then would take the button's release away, and every
    // repetition would fail again and open another box.
    void stopMouseRepeat();
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The keyboard focus left the grid and its editor for another control of the window.
    virtual void focusExit() {}
    virtual void focusEnter() {}
    // Whether the column border under the point can be dragged (the sizing state it starts).
    bool sizing(int x, int y) const;
    // Mouse capture as Windows knows it: the grid gets the mouse until released.
    void setMouseCapture(bool value) { mouseCapture_ = value; }
    bool mouseCapture() const { return mouseCapture_; }
    QRect clientRect() const;
    void beep();
    // Deletes the editor while the grid is still whole: derived destructors call it first,
    // since a focused editor going away reports a focus change to its grid.
    void destroyEditor();
    bool isGridDestroying() const { return destroying_; }

    // --- Qt ------------------------------------------------------------------------------------
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;

private:
    friend class TInplaceEdit;

    struct AxisInfo {
        int lineWidth = 0;     // the width of the line after each cell
        int fixedBoundary = 0; // where the scrolling cells begin
        int gridBoundary = 0;  // where the last shown cell (with its line) ends
        int lastFullVisible = 0;
        int fixedCount = 0;
        int firstCell = 0;
        int cellCount = 0;
    };
    AxisInfo horzInfo(int extent) const;
    AxisInfo vertInfo(int extent) const;
    // The offset of a cell along its axis, -1 when it is not shown.
    int colLeft(int col) const;
    int rowTop(int row) const;

    void paintGrid(QPainter& painter, const QRect& dirty);
    void paintCells(QPainter& painter, int firstCol, int lastCol, int firstRow, int lastRow);
    void paintLines(QPainter& painter);
    void drawMove(QPainter& painter);
    void drawSizingLine(QPainter& painter);
    void calcSizingState(int x, int y, TGridState& state, int& index, int& sizingPos,
                         int& sizingOfs) const;
    void clampInView();
    int maxLeftCol() const;
    void updateScrollRange();
    void moveAndScroll(int mouse, int cellHit);
    void timerTick();
    void stopTimer();
    void hideEdit();
    void ensureEditor();
    void editorFocusOut(QFocusEvent* event);
    void checkFocusExit(Qt::FocusReason reason);
    void editorFocusIn();
    void tabOutOfEditor(bool forward);

    int colCount_ = 0;
    int rowCount_ = 0;
    int fixedCols_ = 0;
    int fixedRows_ = 0;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int gridLineWidth_ = 1;
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    std::vector<bool> tabStops_;
    TGridOptions gridOptions_;
    TGridCoord current_;
    int leftCol_ = 0;
    bool settingScroll_ = false;

    // Mouse.
    TGridState gridState_ = gsNormal;
    int sizingIndex_ = -1;
    int sizingPos_ = 0;
    int sizingOfs_ = 0;
    int moveIndex_ = -1;
    int movePos_ = -1;
    QPoint lastMouse_;
    bool mouseCapture_ = false;
    std::unique_ptr<TTimer> timer_;
    // The scroll bar the left button is held down on, and where.
    QWidget* pressedBar_ = nullptr;
    QPoint barPressPos_;

    // Editor.
    TInplaceEdit* inplaceEdit_ = nullptr;
    bool editorMode_ = false;
    bool focusInside_ = false;
    bool movingFocus_ = false;
    bool destroying_ = false;
    int inplaceCol_ = -1;
    int inplaceRow_ = -1;
};

// The grid's beep (a refused key). Tests replace it to count the beeps; none restores
// QApplication::beep.
void setGridBeepHandler(std::function<void()> handler);
// The grid's Yes/No question (the delete confirmation). Tests replace it; none restores the
// message box.
void setGridQuestionHandler(std::function<bool(QWidget* parent, const AnsiString& text)> handler);
bool askGridQuestion(QWidget* parent, const AnsiString& text);

} // namespace cibrano

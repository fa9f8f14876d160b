#pragma once
// TCustomDBGrid: the data-aware grid. One row per record of the data link's buffer window (as
// many as fit), one column per TColumn, a title row and the 11-pixel indicator column. It moves
// the dataset with the keyboard, the mouse and its own vertical scroll bar, edits cells in
// place through the fields' edit texts, inserts, appends and deletes records, and lets the user
// resize and move columns. It reads and writes values only through fields, and talks to the
// dataset only through its data link and the dataset's public operations.

#include "grid/CustomGrid.h"
#include "grid/DBGridColumns.h"
#include "grid/GridDataLink.h"
#include "grid/GridTypes.h"

#include <QElapsedTimer>
#include <QFont>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace cibrano {

class TDataSet;
class TDataSource;
class TField;

class TCustomDBGrid : public TCustomGrid {
    Q_OBJECT
public:
    using TKeyEvent = std::function<void(TCustomDBGrid* sender, int& key, Qt::KeyboardModifiers)>;
    using TNotifyEvent = std::function<void(TCustomDBGrid* sender)>;
    using TMovedEvent = std::function<void(TCustomDBGrid* sender, int from, int to)>;

    static constexpr int kIndicatorWidth = 11;

    explicit TCustomDBGrid(QWidget* parent = nullptr);
    ~TCustomDBGrid() override;

    // --- Properties ------------------------------------------------------------------------
    TDataSource* DataSource() const;
    void setDataSource(TDataSource* source);
    TDBGridOptions Options() const { return options_; }
    virtual void setOptions(TDBGridOptions options);
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool value);
    QFont TitleFont() const { return titleFont_; }
    void setTitleFont(const QFont& font);
    TDBGridColumns& Columns() { return columns_; }
    const TDBGridColumns& Columns() const { return columns_; }
    TGridDataLink* DataLink() { return &dataLink_; }
    const TGridDataLink* DataLink() const { return &dataLink_; }
    // The column (index in Columns) and field of the current cell.
    int SelectedIndex() const;
    void setSelectedIndex(int index);
    TField* SelectedField() const;
    void setSelectedField(TField* field);
    int FieldCount() const;
    TField* fields(int index) const;
    // 1 when the indicator is shown, else 0; likewise the title row.
    int IndicatorOffset() const { return indicatorOffset_; }
    int TitleOffset() const { return titleOffset_; }
    // The text of the cell being edited, kept apart from the field until written back.
    const AnsiString& EditText() const { return editText_; }
    // Off by default. On, an edited record is posted as soon as a cell's text is written into
    // its field (Enter, Tab, leaving the cell or the grid), and Escape cancels the record's edit
    // at once: for a window that writes every change when it is made. A refused post keeps
    // the cell and its text.
    bool PostsEachCell() const { return postsEachCell_; }
    void setPostsEachCell(bool value) { postsEachCell_ = value; }
    // Writes what the current cell's editor holds into its field (and posts it when the grid
    // posts each cell): a command about to act on the record calls it first.
    void commitEdit() { collectEdit(); }
    // Whether the focus left the grid on a value its field or its dataset refused, and the
    // grid is about to take the focus back and say why: a command clicked meanwhile does
    // nothing, so that the message is shown once.
    bool RefusalPending() const { return refusalPending_; }

    // Events. OnKeyDown runs before the grid's own key handling, exactly once per key.
    TKeyEvent OnKeyDown;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;
    TMovedEvent OnColumnMoved;

    // The vertical scroll bar as the grid writes it (Windows' terms: the maximum includes
    // the page), and how often it was written.
    struct ScrollInfo {
        int min = 0;
        int max = 0;
        int page = 0;
        int pos = 0;
        bool operator==(const ScrollInfo&) const = default;
    };
    ScrollInfo scrollInfo() const { return scrollInfo_; }
    int scrollBarWrites() const { return scrollBarWrites_; }

    // --- Layout ------------------------------------------------------------------------------
    // Between beginLayout and endLayout column changes are gathered; the last endLayout
    // rebuilds the layout once.
    void beginLayout();
    void endLayout();
    void layoutChanged();
    void beginUpdate() { ++updateLock_; }
    void endUpdate();
    int layoutLock() const { return layoutLock_; }
    int updateLock() const { return updateLock_; }

    // Takes the keyboard focus when it can; false when it could not.
    bool acquireFocus();
    // Indicator images: 0 arrow, 1 edit, 2 insert, 3 multi-dot, 4 multi-arrow.
    int indicatorImageOf(int row) const;

    // The grid's key handling (see the class comment).
    void keyDown(int& key, Qt::KeyboardModifiers modifiers) override;
    void keyPress(char& ch) override;
    // Escape goes on to the window when there is no edit or insert to cancel and no typing to
    // drop, so that a dialog holding the grid closes with it.
    bool passesKeyOn(int key) const override;
    bool canEditAcceptKey(char ch) const override;
    bool canEditModify() override;
    bool canEditShow() const override;
    AnsiString getEditText(int col, int row) override;
    void setEditText(int col, int row, const AnsiString& text) override;
    int getEditLimit() const override;
    Qt::Alignment editAlignment() const override;
    void doKeyDownEvent(int& key, Qt::KeyboardModifiers modifiers) override;

    // --- New rows ---------------------------------------------------------------------------
    // Whether the dataset inserts a row that the grid started and nothing has filled: every
    // data field empty and no text typed into the selected cell. Such a row is cancelled
    // rather than posted.
    bool ownInsertEmpty() const;

    // --- Multi-selection (dgMultiSelect) -----------------------------------------------------
    bool currentRowSelected() const;
    void setCurrentRowSelected(bool value);
    int selectedRowCount() const { return static_cast<int>(selectedRows_.size()); }
    void clearSelectedRows();

protected:
    // --- What the data link calls -----------------------------------------------------------
    friend class TGridDataLink;
    friend class TDBGridColumns;
    friend class TColumn;
    void linkActive(bool value);
    void dataChanged();
    void scroll(int distance);
    void recordChanged(TField* field);
    void editingChanged();
    // Writes the edit text into the current cell's field.
    void updateData();
    // Cancels the grid's own new row when it is still empty (ownInsertEmpty); true when it did.
    bool cancelEmptyInsert();

    // --- The grid's work ---------------------------------------------------------------------
    void internalLayout();
    void defineFieldMap();
    void resetColumnFieldBindings();
    void setColumnAttributes();
    void updateRowCount();
    void updateActive();
    void updateScrollBar();
    // Column `rawCol` (grid column) becomes current; direction ±1 skips columns that are not
    // tab stops (0 takes any shown column).
    void moveCol(int rawCol, int direction);
    int rawToDataColumn(int col) const { return col - indicatorOffset_; }
    int dataToRawColumn(int col) const { return col + indicatorOffset_; }
    // Writes the pending edit text through the data link (only when marked modified).
    void collectEdit();
    bool deletePrompt();
    void doDelete();
    // The default width of a column without a stored one.
    int columnDefaultWidth(const TColumn& column) const;
    void columnChanged(TColumn* column, bool layout);
    // Draws a title cell's caption (derived grids draw their own titles).
    void drawTitleText(QPainter& painter, const QRect& rect, const TColumn& column, bool pressed,
                       int reserve);
    void drawDataCell(QPainter& painter, int col, int row, const QRect& rect, TGridDrawState state);
    void drawIndicator(QPainter& painter, int row, const QRect& rect);
    bool highlightCell(int col, int row, TGridDrawState state) const;
    // Draws `text` clipped to `rect`, 2 pixels in, with the alignment.
    static void writeText(QPainter& painter, const QRect& rect, const QString& text,
                          TAlignment alignment, int dx = 2, int dy = 2);

    // --- TCustomGrid ---------------------------------------------------------------------------
    void drawCell(QPainter& painter, int col, int row, const QRect& rect,
                  TGridDrawState state) override;
    void colWidthsChanged() override;
    void columnMoved(int from, int to) override;
    bool checkColumnDrag(int& origin, int& destination, const QPoint& mouse) override;
    bool endColumnDrag(int& origin, int& destination, const QPoint& mouse) override;
    void sizeChanged() override;
    void recoverFromError() override;
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y,
                   bool doubleClick) override;
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y) override;
    void dblClick() override;
    bool beginCellEdit() override;
    // The plain grid's options that the data grid's options stand for.
    virtual TGridOptions gridOptionsFrom(TDBGridOptions options) const;
    void focusExit() override;
    void topLeftChanged() override;
    void changeEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Title drawing, for derived grids: the rectangle the caption goes into after the base
    // title look.
    virtual void drawTitleCell(QPainter& painter, int col, int row, const QRect& rect,
                               TGridDrawState state);

private:
    // Appends or inserts a new row, which is then the grid's own.
    void startNewRow(bool append);
    // Puts the dataset into edit state through the link; the insert an empty list gets instead
    // is the grid's own. Answers whether the link is editing.
    bool editRecord();
    // The dataset's new row is the grid's: its values as it began are kept.
    void noteOwnInsert();
    // The grid's own new row is over once the dataset no longer inserts.
    void followInsertState();
    // An insert that nothing has modified, or the grid's own still empty: leaving it cancels it.
    bool untouchedInsert() const;
    void scrollBarAction(int action);
    void scrollBarReleased();
    void showScrollInfo();
    void nextRow(bool select, Qt::KeyboardModifiers modifiers);
    void priorRow(bool select, Qt::KeyboardModifiers modifiers);
    void doSelection(bool select, int direction, Qt::KeyboardModifiers modifiers);
    void tab(bool forward);
    TDataSet* dataSet() const;
    bool canModifyDataSet() const;
    void updateRowHeights();

    TGridDataLink dataLink_;
    TDBGridColumns columns_;
    TDBGridOptions options_;
    QFont titleFont_;
    bool readOnly_ = false;
    bool postsEachCell_ = false;
    bool refusalPending_ = false;
    int indicatorOffset_ = 1;
    int titleOffset_ = 1;
    int layoutLock_ = 0;
    int updateLock_ = 0;
    bool inColExit_ = false;
    bool pendingLayout_ = false;
    const void* selectionAnchor_ = nullptr;
    int anchorRecordNumber_ = 0;
    AnsiString editText_;
    ScrollInfo scrollInfo_;
    int scrollBarWrites_ = 0;
    int wheelRemainder_ = 0;
    // A wheel step failed: the rest of that spin is dropped (see wheelEvent).
    static constexpr int kWheelPause = 250;
    bool wheelHalted_ = false;
    QElapsedTimer wheelPause_;
    std::vector<const void*> selectedRows_;
    bool selecting_ = false;
    // The dataset's insert is one the grid started; the fields the user wrote a text into
    // (by field index); the fields' values as the row began (none for an empty field).
    bool ownInsert_ = false;
    std::vector<bool> ownRowTyped_;
    std::vector<std::optional<AnsiString>> ownRowStart_;
};

} // namespace cibrano

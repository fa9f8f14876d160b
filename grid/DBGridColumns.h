#pragma once
// The columns of a data grid: TColumn (one shown field with its width, alignment, colours,
// fonts and title) held in display order by TDBGridColumns. A column that has no value of its
// own for a property answers the default: from its field (caption, alignment, width) or from
// the grid (fonts, colours).

#include "dataset/FieldTypes.h"
#include "grid/GridTypes.h"
#include "platform/AnsiString.h"

#include <QColor>
#include <QFont>

#include <memory>
#include <optional>
#include <vector>

namespace cibrano {

class TColumn;
class TCustomDBGrid;
class TDBGridColumns;
class TField;

// The title cell of a column.
class TColumnTitle {
public:
    explicit TColumnTitle(TColumn* column) : column_(column) {}

    // The field's display name (its DisplayLabel, else its FieldName), else the column's
    // FieldName, unless set.
    AnsiString Caption() const;
    void setCaption(const AnsiString& caption);
    // Titles are left-aligned unless set.
    TAlignment Alignment() const { return alignment_.value_or(taLeftJustify); }
    void setAlignment(TAlignment alignment);
    // The grid's fixed-cell colour unless set.
    QColor Color() const;
    void setColor(const QColor& color);
    // The grid's title font unless set.
    QFont Font() const;
    void setFont(const QFont& font);
    bool captionAssigned() const { return caption_.has_value(); }
    void restoreDefaults();

private:
    TColumn* column_;
    std::optional<AnsiString> caption_;
    std::optional<TAlignment> alignment_;
    std::optional<QColor> color_;
    std::optional<QFont> font_;
};

class TColumn {
public:
    explicit TColumn(TDBGridColumns* collection);
    ~TColumn();
    TColumn(const TColumn&) = delete;
    TColumn& operator=(const TColumn&) = delete;

    const AnsiString& FieldName() const { return fieldName_; }
    void setFieldName(const AnsiString& name);
    // The dataset's field of that name while the grid's data link is active, else none.
    TField* Field() const { return field_; }

    // The stored width, or the default width.
    int Width() const;
    void setWidth(int width);
    bool widthAssigned() const { return width_.has_value(); }
    // (width of "0" in the column's font) x the field's DisplayWidth + 4, widened to the
    // caption's width + 4 when titles are shown; without a field the grid's default column
    // width; without a grid 64.
    int defaultWidth() const;

    bool Visible() const { return visible_; }
    void setVisible(bool value);
    // Shown in the grid: visible.
    bool Showing() const { return visible_; }
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool value);
    // The field's alignment unless set (left without a field).
    TAlignment Alignment() const;
    void setAlignment(TAlignment alignment);
    // The grid's colour unless set.
    QColor Color() const;
    void setColor(const QColor& color);
    // The grid's font unless set.
    QFont Font() const;
    void setFont(const QFont& font);
    TColumnTitle& Title() { return title_; }
    const TColumnTitle& Title() const { return title_; }

    // Position in the collection; setting it moves the column there.
    int Index() const;
    void setIndex(int index);
    TDBGridColumns* Collection() const { return collection_; }
    TCustomDBGrid* Grid() const;
    // Configured by the program (true) rather than made by the grid from the fields.
    bool isStored() const { return stored_; }

    // Forgets every value set on the column except its field name.
    void restoreDefaults();

private:
    friend class TDBGridColumns;
    friend class TCustomDBGrid;
    friend class TColumnTitle;

    void setField(TField* field) { field_ = field; }
    // A property that changes what the column shows.
    void changed(bool layout);

    TDBGridColumns* collection_;
    AnsiString fieldName_;
    TField* field_ = nullptr;
    std::optional<int> width_;
    std::optional<TAlignment> alignment_;
    std::optional<QColor> color_;
    std::optional<QFont> font_;
    bool visible_ = true;
    bool readOnly_ = false;
    bool stored_ = true;
    TColumnTitle title_;
};

class TDBGridColumns {
public:
    explicit TDBGridColumns(TCustomDBGrid* grid) : grid_(grid) {}
    ~TDBGridColumns();
    TDBGridColumns(const TDBGridColumns&) = delete;
    TDBGridColumns& operator=(const TDBGridColumns&) = delete;

    // A configured column at the end. Configuring the first column of a grid that shows the
    // default columns replaces them.
    TColumn* add();
    int count() const { return static_cast<int>(items_.size()); }
    TColumn* items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
    TColumn* operator[](int index) const { return items(index); }
    int indexOf(const TColumn* column) const;
    void remove(TColumn* column);
    void clear();
    // Moves the column at `from` to position `to`.
    void move(int from, int to);

    // Customized when the first column was configured, else default.
    TDBGridColumnsState State() const;
    // Customized turns the default columns into configured ones; default drops the
    // configured ones so that the grid shows the dataset's fields again.
    void setState(TDBGridColumnsState state);
    // Configured columns for the dataset's visible fields, replacing the present ones.
    void rebuildColumns();
    // Every column forgets the values set on it.
    void restoreDefaults();

    // Changes in between are applied once, at the last endUpdate.
    void beginUpdate();
    void endUpdate();
    int updateCount() const { return updateCount_; }

    TCustomDBGrid* Grid() const { return grid_; }

private:
    friend class TColumn;
    friend class TCustomDBGrid;

    // A column made by the grid for a field (not configured).
    TColumn* internalAdd();
    void changed(TColumn* column, bool layout);

    TCustomDBGrid* grid_;
    std::vector<std::unique_ptr<TColumn>> items_;
    int updateCount_ = 0;
    bool pendingLayout_ = false;
};

} // namespace cibrano

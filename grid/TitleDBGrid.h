#pragma once
// TTitleDBGrid: a data grid whose column titles can act as push buttons. With TitleButtons set,
// a title is drawn raised, sinks while the left button holds it down and, released over the
// same title, raises OnTitleBtnClick with the column's index in Columns and its field. A
// right-button drag on a title moves its column (with dgColumnResize); dragging a title border
// still resizes with the left button. OnGetBtnParams may recolour a title, change its font and
// show a sort marker. Its options default to those of TDBGrid without dgTabs.

#include "grid/DBGrid.h"

#include <QColor>
#include <QFont>

#include <functional>

namespace cibrano {

class TField;

class TTitleDBGrid : public TDBGrid {
    Q_OBJECT
public:
    using TTitleClickEvent = std::function<void(TTitleDBGrid* sender, int ACol, TField* Field)>;
    using TCheckTitleBtnEvent =
        std::function<void(TTitleDBGrid* sender, int ACol, TField* Field, bool& Enabled)>;
    using TGetBtnParamsEvent =
        std::function<void(TTitleDBGrid* sender, TField* Field, QFont& AFont, QColor& Background,
                           TSortMarker& SortMarker, bool IsDown)>;

    explicit TTitleDBGrid(QWidget* parent = nullptr);

    bool TitleButtons() const { return titleButtons_; }
    // Redraws and re-applies the options: while title buttons are on, the lines between
    // fixed cells are always drawn.
    void setTitleButtons(bool value);
    void setOptions(TDBGridOptions options) override;

    TTitleClickEvent OnTitleBtnClick;
    TCheckTitleBtnEvent OnCheckButton;
    TGetBtnParamsEvent OnGetBtnParams;

    // The title being held down: its column (index in Columns, -1 for none) and whether the
    // mouse is over it now (the sunken look).
    int pressedColumn() const;
    bool titlePressed() const { return pressed_; }
    bool tracking() const { return tracking_; }

    void cancelMode() override;

    // The caption shortened until it fits `width` pixels: its first n characters followed by
    // "...", for n = length - 2, length - 3, ... down to 0.
    static QString fitCaption(const QFontMetrics& metrics, const QString& caption, int width);

protected:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y,
                   bool doubleClick) override;
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                   int y) override;
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y) override;
    void drawTitleCell(QPainter& painter, int col, int row, const QRect& rect,
                       TGridDrawState state) override;

private:
    void trackButton(int x, int y);
    void stopTracking();
    void invalidateTitles();

    bool titleButtons_ = false;
    TColumn* pressedCol_ = nullptr;
    bool pressed_ = false;
    bool tracking_ = false;
    bool swapButtons_ = false;
};

} // namespace cibrano

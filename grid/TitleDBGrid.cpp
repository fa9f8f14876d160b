#include "grid/TitleDBGrid.h"

#include "dataset/Field.h"
#include "grid/GridImages.h"
#include "platform/qt/QtText.h"

#include <QFontMetrics>
#include <QPainter>

namespace cibrano {

TTitleDBGrid::TTitleDBGrid(QWidget* parent) : TDBGrid(parent) {
    setOptions(Options() - TDBGridOptions{dgTabs});
}

void TTitleDBGrid::setTitleButtons(bool value) {
    if (titleButtons_ == value)
        return;
    titleButtons_ = value;
    invalidateGrid();
    setOptions(Options());
}

void TTitleDBGrid::setOptions(TDBGridOptions options) {
    TDBGrid::setOptions(options);
    if (titleButtons_) {
        // Buttons need their borders: the lines between fixed cells are always drawn.
        setGridOptions(gridOptions() + TGridOptions{goFixedHorzLine, goFixedVertLine});
        layoutChanged();
    }
}

int TTitleDBGrid::pressedColumn() const {
    return pressedCol_ ? Columns().indexOf(pressedCol_) : -1;
}

void TTitleDBGrid::invalidateTitles() {
    for (int row = 0; row < TitleOffset(); ++row)
        invalidateRow(row);
}

void TTitleDBGrid::mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y,
                             bool doubleClick) {
    if (!acquireFocus())
        return;
    if (doubleClick && button == Qt::LeftButton) {
        dblClick();
        return;
    }
    if (sizing(x, y)) {
        // Column borders are dragged with the left button, as in any grid.
        TDBGrid::mouseDown(button, modifiers, x, y, false);
        return;
    }
    const TGridCoord cell = mouseCoord(x, y);
    if (titleButtons_ && DataLink()->Active() && cell.Y >= 0 && cell.Y < TitleOffset() &&
        cell.X >= IndicatorOffset()) {
        if (Options().contains(dgColumnResize) && button == Qt::RightButton) {
            // The right button drags the title to move its column.
            button = Qt::LeftButton;
            swapButtons_ = true;
            setMouseCapture(true);
        } else if (button == Qt::LeftButton) {
            const int index = cell.X - IndicatorOffset();
            bool enabled = index >= 0 && index < Columns().count();
            if (enabled && OnCheckButton)
                OnCheckButton(this, index, Columns()[index]->Field(), enabled);
            if (enabled) {
                setMouseCapture(true);
                tracking_ = true;
                pressedCol_ = Columns()[index];
                trackButton(x, y);
            }
            return;
        } else {
            return;
        }
    }
    TDBGrid::mouseDown(button, modifiers, x, y, false);
}

void TTitleDBGrid::trackButton(int x, int y) {
    const TGridCoord cell = mouseCoord(x, y);
    const int index = cell.X - IndicatorOffset();
    const bool overPressed = cell.X >= IndicatorOffset() && index < Columns().count() &&
                             pressedCol_ && Columns()[index] == pressedCol_;
    const bool newPressed =
        clientRect().contains(x, y) && cell.Y >= 0 && cell.Y < TitleOffset() && overPressed;
    if (pressed_ != newPressed) {
        pressed_ = newPressed;
        invalidateTitles();
    }
}

void TTitleDBGrid::stopTracking() {
    if (!tracking_)
        return;
    trackButton(-1, -1);
    tracking_ = false;
    setMouseCapture(false);
}

void TTitleDBGrid::mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                             int y) {
    if (tracking_)
        trackButton(x, y);
    TDBGrid::mouseMove(buttons, modifiers, x, y);
}

void TTitleDBGrid::mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y) {
    if (tracking_ && pressedCol_) {
        const TGridCoord cell = mouseCoord(x, y);
        const int index = cell.X - IndicatorOffset();
        const int pressed = Columns().indexOf(pressedCol_);
        const bool doClick = clientRect().contains(x, y) && cell.Y >= 0 && cell.Y < TitleOffset() &&
                             cell.X >= IndicatorOffset() && pressed >= 0 && index == pressed;
        // The title is raised and the mouse released before the handler runs, so that an
        // error in it never leaves the title pressed.
        stopTracking();
        pressedCol_ = nullptr;
        if (doClick && DataLink()->Active() && index >= 0 && index < Columns().count() &&
            OnTitleBtnClick)
            OnTitleBtnClick(this, index, Columns()[index]->Field());
    } else if (swapButtons_) {
        swapButtons_ = false;
        setMouseCapture(false);
        if (button == Qt::RightButton)
            button = Qt::LeftButton;
    }
    TDBGrid::mouseUp(button, modifiers, x, y);
}

void TTitleDBGrid::cancelMode() {
    if (tracking_)
        stopTracking();
    pressedCol_ = nullptr;
    swapButtons_ = false;
    TDBGrid::cancelMode();
}

QString TTitleDBGrid::fitCaption(const QFontMetrics& metrics, const QString& caption, int width) {
    if (metrics.horizontalAdvance(caption) <= width)
        return caption;
    QString fitted;
    for (qsizetype n = caption.size() - 2; n >= 0; --n) {
        fitted = caption.left(n) + QStringLiteral("...");
        if (metrics.horizontalAdvance(fitted) <= width)
            break;
    }
    return fitted.isEmpty() ? QStringLiteral("...") : fitted;
}

void TTitleDBGrid::drawTitleCell(QPainter& painter, int col, int, const QRect& rect,
                                 TGridDrawState) {
    const int index = col - IndicatorOffset();
    if (index < 0 || index >= Columns().count())
        return;
    TColumn& column = *Columns()[index];
    const bool down = titleButtons_ && pressed_ && pressedCol_ == &column;
    QRect r = rect;
    if (titleButtons_ || (Options().contains(dgRowLines) && Options().contains(dgColLines))) {
        // A one-pixel bevel on all four sides: raised, or sunken while held down.
        const QColor light = palette().color(QPalette::Light);
        const QColor shadow = palette().color(QPalette::Mid);
        const QColor topLeft = down ? shadow : light;
        const QColor bottomRight = down ? light : shadow;
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
        r.adjust(1, 1, -1, -1);
    }
    QFont font = column.Title().Font();
    QColor background = column.Title().Color();
    TSortMarker marker = smNone;
    if (titleButtons_ && column.Field() && OnGetBtnParams)
        OnGetBtnParams(this, column.Field(), font, background, marker, down);
    painter.fillRect(r, background);

    QRect textRect = r;
    if (down)
        textRect.translate(1, 1);
    const QPixmap* markerImage = marker == smNone ? nullptr : &sortMarkerImage(marker == smUp);
    const int reserve = markerImage ? markerImage->width() + 6 : 1;
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const QString caption =
        fitCaption(metrics, toQt(column.Title().Caption()), textRect.width() - reserve);
    painter.setPen(isEnabled() ? palette().color(QPalette::WindowText)
                               : palette().color(QPalette::Disabled, QPalette::WindowText));
    QRect clip = r;
    if (markerImage)
        clip.setRight(r.right() - markerImage->width() - 4);
    const int dy = std::max(0, (textRect.height() - metrics.height()) / 2);
    painter.save();
    painter.setClipRect(clip, Qt::IntersectClip);
    writeText(painter, textRect, caption, column.Title().Alignment(), 1, dy);
    painter.restore();
    if (markerImage) {
        const int x = textRect.right() - markerImage->width() - 3;
        const int y = textRect.top() + (textRect.height() - markerImage->height()) / 2;
        const QRect markerRect(x, y, markerImage->width(), markerImage->height());
        if (rect.contains(markerRect))
            painter.drawPixmap(markerRect.topLeft(), *markerImage);
    }
}

} // namespace cibrano

#pragma once
// Small helpers for windows laid out in pixels: labels of a fixed box and buttons whose glyph
// comes with its disabled variant.

#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>

class QLabel;
class QPixmap;
class QPushButton;
class QWidget;

namespace cibrano {

// A label of fixed size at `box` (no automatic sizing, no wrapping), text in `font`.
QLabel* newLabel(QWidget* parent, const QString& text, const QRect& box, const QFont& font,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);
// Sets the colour of a label's text.
void setTextColor(QWidget* widget, const QColor& color);

// The icon of a button from a strip of `count` glyphs of equal width side by side: the first
// is the normal glyph, the second (when there is one) the one shown while disabled.
QIcon glyphIcon(const QPixmap& strip, int count);

// A push button at `box` with `caption` ("&" marks the Alt key) and, when given, a glyph.
QPushButton* newButton(QWidget* parent, const QString& caption, const QRect& box,
                       const QIcon& glyph = QIcon());

} // namespace cibrano

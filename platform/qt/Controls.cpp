#include "platform/qt/Controls.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace cibrano {

QLabel* newLabel(QWidget* parent, const QString& text, const QRect& box, const QFont& font,
                 Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setGeometry(box);
    label->setAlignment(alignment);
    label->setWordWrap(false);
    return label;
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::ButtonText, color);
    widget->setPalette(pal);
}

QIcon glyphIcon(const QPixmap& strip, int count) {
    QIcon icon;
    if (strip.isNull() || count < 1)
        return icon;
    const int w = strip.width() / count;
    icon.addPixmap(strip.copy(0, 0, w, strip.height()), QIcon::Normal);
    if (count > 1)
        icon.addPixmap(strip.copy(w, 0, w, strip.height()), QIcon::Disabled);
    return icon;
}

QPushButton* newButton(QWidget* parent, const QString& caption, const QRect& box,
                       const QIcon& glyph) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(box);
    if (!glyph.isNull()) {
        button->setIcon(glyph);
        button->setIconSize(QSize(16, 16));
    }
    // Enter presses the dialog's default button, not whichever button has the focus.
    button->setAutoDefault(false);
    return button;
}

} // namespace cibrano

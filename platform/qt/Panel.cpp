#include "platform/qt/Panel.h"

#include <QPainter>

namespace cibrano {

TPanel::TPanel(QWidget* parent, TPanelBevel outer, TPanelBevel inner)
    : QWidget(parent), outer_(outer), inner_(inner) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
}

void TPanel::setBevelOuter(TPanelBevel bevel) {
    outer_ = bevel;
    update();
}

void TPanel::setBevelInner(TPanelBevel bevel) {
    inner_ = bevel;
    update();
}

void drawBevel(QPainter& painter, const QRect& rect, TPanelBevel bevel, const QPalette& palette) {
    if (bevel == bvNone || rect.width() < 2 || rect.height() < 2)
        return;
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    const QColor topLeft = bevel == bvRaised ? light : dark;
    const QColor bottomRight = bevel == bvRaised ? dark : light;
    painter.setPen(topLeft);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect r = rect();
    drawBevel(painter, r, outer_, palette());
    if (outer_ != bvNone)
        r.adjust(1, 1, -1, -1);
    drawBevel(painter, r, inner_, palette());
}

} // namespace cibrano

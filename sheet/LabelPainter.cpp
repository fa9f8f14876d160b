#include "sheet/LabelPainter.h"

#include "platform/qt/QtText.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <cmath>

namespace cibrano {

namespace {

constexpr double kPointsPerMm = 72 / 25.4;

QFont labelFont(const LabelText& text) {
    QFont font(QString::fromLatin1(kLabelFontFamily));
    font.setStyleHint(QFont::SansSerif);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setBold(text.bold);
    font.setPointSizeF(text.size * kPointsPerMm);
    return font;
}

} // namespace

void paintLabel(QPainter& painter, const LabelLayout& layout, double dotsPerMm) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const LabelRule& r : layout.rules) {
        QPen pen(Qt::black);
        pen.setWidthF(r.width * dotsPerMm);
        pen.setCapStyle(Qt::SquareCap);
        painter.setPen(pen);
        painter.drawLine(QPointF(r.x1 * dotsPerMm, r.y1 * dotsPerMm),
                         QPointF(r.x2 * dotsPerMm, r.y2 * dotsPerMm));
    }
    painter.setPen(Qt::black);
    for (const LabelText& t : layout.texts) {
        const QString text = toQt(t.text);
        QFont font = labelFont(t);
        double width = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
        const double room = t.room * dotsPerMm;
        if (width > room && room > 0) {
            font.setPointSizeF(font.pointSizeF() * room / width);
            width = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
        }
        painter.setFont(font);
        double x = t.x * dotsPerMm;
        if (t.align == LabelAlign::Right)
            x -= width;
        else if (t.align == LabelAlign::Centre)
            x -= width / 2;
        painter.drawText(QPointF(x, t.y * dotsPerMm), text);
    }
    painter.restore();
}

QImage labelImage(const LabelLayout& layout, double dotsPerMm) {
    QImage image(static_cast<int>(std::lround(layout.width * dotsPerMm)),
                 static_cast<int>(std::lround(layout.height * dotsPerMm)), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const int dotsPerMetre = static_cast<int>(std::lround(dotsPerMm * 1000));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintLabel(painter, layout, dotsPerMm);
    return image;
}

} // namespace cibrano

// Draws the program's icon and button glyphs into the PNG files beside this source. Not part
// of the build: run it by hand after changing a drawing, from this folder:
//   g++ -std=c++20 -fPIC DrawIcons.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/draw-icons
//   QT_QPA_PLATFORM=offscreen /tmp/draw-icons

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

// The program icon at `size` pixels: a plate with a fork and a knife on a green tile.
QImage programIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    QLinearGradient tile(0, 0, 0, 32);
    tile.setColorAt(0, QColor(0x5c, 0xb8, 0x4a));
    tile.setColorAt(1, QColor(0x2e, 0x7d, 0x32));
    p.setPen(QPen(QColor(0x1b, 0x5e, 0x20), 1));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);

    // The plate.
    p.setPen(QPen(QColor(0x9e, 0x9e, 0x9e), 1));
    p.setBrush(QColor(0xfa, 0xfa, 0xfa));
    p.drawEllipse(QPointF(16, 16), 10, 10);
    p.setBrush(QColor(0xee, 0xee, 0xee));
    p.drawEllipse(QPointF(16, 16), 6.5, 6.5);
    // A tomato slice on it.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe5, 0x39, 0x35));
    p.drawEllipse(QPointF(16, 16), 3.6, 3.6);
    p.setBrush(QColor(0xff, 0xcd, 0xd2));
    p.drawEllipse(QPointF(16, 16), 1.4, 1.4);

    // Fork (left) and knife (right), in white.
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(0x1b, 0x5e, 0x20), 0.6));
    QPainterPath fork;
    fork.addRoundedRect(QRectF(2.9, 4, 2.2, 24), 1, 1);
    p.drawPath(fork);
    for (double x : {2.4, 3.7, 5.0})
        p.drawRect(QRectF(x, 3, 0.7, 5));
    QPainterPath knife;
    knife.moveTo(27.0, 3);
    knife.cubicTo(29.8, 6, 29.8, 12, 28.4, 15);
    knife.lineTo(28.4, 28);
    knife.lineTo(26.8, 28);
    knife.closeSubpath();
    p.drawPath(knife);
    return img;
}

// Two 16 x 16 glyphs side by side: the normal one and its grey disabled variant.
template <typename Draw> QImage glyphPair(Draw draw) {
    QImage img(32, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, false);
    p.translate(16, 0);
    draw(p, true);
    return img;
}

void questionMark(QPainter& p, bool disabled) {
    const QColor rim = disabled ? QColor(0x9e, 0x9e, 0x9e) : QColor(0xc0, 0x8a, 0x00);
    const QColor face = disabled ? QColor(0xe8, 0xe8, 0xe8) : QColor(0xff, 0xf3, 0xb0);
    const QColor mark = disabled ? QColor(0x80, 0x80, 0x80) : QColor(0xd0, 0x10, 0x10);
    p.setPen(QPen(rim, 1));
    p.setBrush(face);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QFont f("DejaVu Sans");
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(mark);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, "?");
}

void checkMark(QPainter& p, bool disabled) {
    const QColor mark = disabled ? QColor(0x80, 0x80, 0x80) : QColor(0x00, 0x80, 0x00);
    QPainterPath tick;
    tick.moveTo(2, 8.5);
    tick.lineTo(6, 12.5);
    tick.lineTo(14, 3.5);
    p.setPen(QPen(mark, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    // The program icon at the usual sizes of the desktop's icon theme; cibrano.svg beside
    // them is the same drawing, for the theme's scalable folder.
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = programIcon(size).save(QString("cibrano-%1.png").arg(size)) && ok;
    ok = glyphPair(questionMark).save("question-glyph.png") && ok;
    ok = glyphPair(checkMark).save("ok-glyph.png") && ok;
    return ok ? 0 : 1;
}

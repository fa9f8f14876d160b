#include "app/EnergyChart.h"

#include "platform/UiServices.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtText.h"
#include "sheet/EnergyChartPainter.h"

#include <QPainter>

#include <algorithm>

namespace cibrano {

TEnergyChart::TEnergyChart(QWidget* parent) : QWidget(parent) {
    setFont(msSansSerif(11));
    setAccessibleName(QStringLiteral("Ripartizione dell'energia"));
    updateDescription();
}

void TEnergyChart::setTotals(const NutrientTotals& totals) {
    split_ = energySplit(totals);
    shown_ = true;
    updateDescription();
    update();
}

void TEnergyChart::clear() {
    split_ = EnergySplit();
    shown_ = false;
    updateDescription();
    update();
}

QString TEnergyChart::note() const {
    // Short, to fit under the legend; the tooltip has the whole of it.
    if (!shown_)
        return QStringLiteral("Nessuna ricetta.");
    return toQt(energyShortNote(split_));
}

void TEnergyChart::updateDescription() {
    QString text = toQt(energySourcesText());
    if (shown_ && split_.drawable())
        for (EnergyPart part : kEnergyParts)
            text += QStringLiteral("\n%1: %2")
                        .arg(energyPartName(part), toQt(formatShare(energyShare(split_, part))));
    if (shown_ && !split_.drawable())
        text += "\n" + toQt(energyEmptyNote(split_));
    else if (shown_)
        text += "\n" + toQt(energyDifferenceNote(split_));
    else
        text += "\n" + note();
    text = text.trimmed();
    setToolTip(text);
    setAccessibleDescription(text);
}

QSize TEnergyChart::sizeHint() const {
    return QSize(240, minimumSizeHint().height());
}

QSize TEnergyChart::minimumSizeHint() const {
    // The legend's three lines and one of note.
    return QSize(190, 4 * (QFontMetrics(font()).height() + 3) + 4);
}

void TEnergyChart::paintEvent(QPaintEvent*) {
    try {
        paint();
    } catch (const std::exception& e) {
        reportError(e);
    }
}

void TEnergyChart::paint() {
    QPainter painter(this);
    const QRectF area = QRectF(rect()).adjusted(2, 2, -2, -2);
    const double side = std::min(area.height(), area.width() / 2.5);
    paintEnergyPie(painter, QRectF(area.left(), area.top(), side, side), split_);

    const QFontMetrics fm(font());
    const int line = fm.height() + 3;
    const int left = static_cast<int>(area.left() + side + 10);
    const int right = static_cast<int>(area.right());
    int y = static_cast<int>(area.top()) + 2;
    painter.setPen(palette().color(QPalette::WindowText));
    for (EnergyPart part : kEnergyParts) {
        const int box = fm.ascent() - 2;
        painter.fillRect(left, y + (fm.height() - box) / 2, box, box, energyColor(part));
        painter.drawText(QRect(left + box + 5, y, right - left - box - 5, fm.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, energyPartName(part));
        const QString share = shown_ && split_.drawable()
                                  ? toQt(formatShare(energyShare(split_, part)))
                                  : QStringLiteral("\u2014");
        painter.drawText(QRect(left, y, right - left, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter, share);
        y += line;
    }
    const QString text = note();
    if (!text.isEmpty()) {
        // One line, shortened when the chart is narrow; the tooltip has it whole.
        painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
        painter.drawText(QRect(left, y, right - left, fm.height()),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         fm.elidedText(text, Qt::ElideRight, right - left));
    }
}

} // namespace cibrano

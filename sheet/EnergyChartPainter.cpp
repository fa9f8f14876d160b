#include "sheet/EnergyChartPainter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace cibrano {

QColor energyColor(EnergyPart part) {
    switch (part) {
    case EnergyPart::carbs:
        return QColor(230, 159, 0); // amber
    case EnergyPart::proteins:
        return QColor(204, 51, 51); // red
    case EnergyPart::fats:
        return QColor(0, 114, 178); // blue
    }
    return Qt::black;
}

QString energyPartName(EnergyPart part) {
    switch (part) {
    case EnergyPart::carbs:
        return QStringLiteral("Glucidi");
    case EnergyPart::proteins:
        return QStringLiteral("Proteine");
    case EnergyPart::fats:
        return QStringLiteral("Lipidi");
    }
    return QString();
}

double energyKcal(const EnergySplit& split, EnergyPart part) {
    switch (part) {
    case EnergyPart::carbs:
        return split.carbs;
    case EnergyPart::proteins:
        return split.proteins;
    case EnergyPart::fats:
        return split.fats;
    }
    return 0;
}

double energyShare(const EnergySplit& split, EnergyPart part) {
    switch (part) {
    case EnergyPart::carbs:
        return split.carbsShare;
    case EnergyPart::proteins:
        return split.proteinsShare;
    case EnergyPart::fats:
        return split.fatsShare;
    }
    return 0;
}

void paintEnergyPie(QPainter& painter, const QRectF& bounds, const EnergySplit& split) {
    const double side = std::min(bounds.width(), bounds.height());
    const QRectF circle(bounds.center().x() - side / 2, bounds.center().y() - side / 2, side, side);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (!split.drawable()) {
        painter.setPen(QPen(QColor(160, 160, 160), std::max(1.0, side / 150), Qt::DashLine));
        painter.setBrush(QColor(245, 245, 245));
        painter.drawEllipse(circle);
        painter.restore();
        return;
    }
    painter.setPen(Qt::NoPen);
    // Angles in sixteenths of a degree, counter-clockwise from three o'clock: twelve o'clock is
    // 90 degrees and clockwise is negative. Each sector ends where the shares so far end, so
    // that the rounding of one never shifts the others.
    double before = 0;
    for (EnergyPart part : kEnergyParts) {
        const double share = energyShare(split, part);
        const int start = static_cast<int>(std::lround((90 - before * 3.6) * 16));
        const int end = static_cast<int>(std::lround((90 - (before + share) * 3.6) * 16));
        before += share;
        if (start == end)
            continue;
        painter.setBrush(energyColor(part));
        // A whole circle is drawn as one: a pie of 360 degrees has a seam.
        if (start - end >= 360 * 16)
            painter.drawEllipse(circle);
        else
            painter.drawPie(circle, start, end - start);
    }
    painter.restore();
}

} // namespace cibrano

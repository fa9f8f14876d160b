#pragma once
// The energy split drawn with QPainter: a pie of three sectors, carbohydrates, proteins and
// fats, each in a solid colour of its own, starting at twelve o'clock and going clockwise; an
// empty grey circle when there is no split to draw. The recipe sheet and the recipe book's
// chart both draw it here, so that they look alike.

#include "recipe/RecipeEnergy.h"

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

namespace cibrano {

enum class EnergyPart { carbs, proteins, fats };

inline constexpr EnergyPart kEnergyParts[] = {EnergyPart::carbs, EnergyPart::proteins,
                                              EnergyPart::fats};

// The part's colour (solid, and distinct from the others and from black, white and grey).
QColor energyColor(EnergyPart part);
// "Glucidi", "Proteine", "Lipidi".
QString energyPartName(EnergyPart part);
// Its kilocalories and share of the split.
double energyKcal(const EnergySplit& split, EnergyPart part);
double energyShare(const EnergySplit& split, EnergyPart part);

// The pie inside `bounds` (a circle of its shorter side, centred), with no outline.
void paintEnergyPie(QPainter& painter, const QRectF& bounds, const EnergySplit& split);

} // namespace cibrano

#pragma once
// TEnergyChart: the energy split of a recipe as the recipe book shows it beside the totals —
// the same pie as the recipe sheet (sheet/EnergyChartPainter.h), with each nutrient's name
// and share beside it, and a short note when there is nothing to draw or when the factors'
// sum is more than 10 % away from the table's kilocalories. It draws the values it is given.

#include "recipe/RecipeEnergy.h"

#include <QWidget>

namespace cibrano {

class TEnergyChart : public QWidget {
    Q_OBJECT
public:
    explicit TEnergyChart(QWidget* parent = nullptr);

    // The split of these totals.
    void setTotals(const NutrientTotals& totals);
    // No recipe: an empty chart saying so.
    void clear();
    bool hasTotals() const { return shown_; }
    const EnergySplit& split() const { return split_; }
    // The short note under the legend (empty when there is none); the tooltip says it whole.
    QString note() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paint();
    void updateDescription();

    EnergySplit split_;
    bool shown_ = false;
};

} // namespace cibrano

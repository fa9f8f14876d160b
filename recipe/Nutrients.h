#pragma once
// The nutrients the recipe logic knows: one entry each, from which the recipe book's line
// fields, its files' field list, the reading of a line from the food table and from the book,
// the sums per recipe, per serving and per 100 g, the book window's columns and headings, the
// sheet's table and the CSV's columns are all built. A nutrient the book keeps is one entry
// here (and its member in RecipeLine and RecipeTotals).
//
// The main window's four totals and their labels are not built from this list: the food
// table's grid and totals panel stay as they are fixed.

#include "recipe/RecipeValues.h"

#include <array>
#include <cstddef>

namespace cibrano {

struct Nutrient {
    // Its field in the food table and in the book's lines (ingredienti.d), and the CSV's
    // column: a float, per 100 g of the food.
    const char* field;
    // How the book's window and the sheet head it.
    const char* heading;
    // The unit its values are in; none for energy, whose heading names it ("Kcalorie").
    const char* unit;
    // Its per-100 g value in a line, and its amount in a recipe's totals.
    double RecipeLine::*perHundredGrams;
    double RecipeTotals::*amount;
};

// In the order the book's lines file stores them and the CSV lists them.
inline constexpr std::array<Nutrient, 4> kNutrients = {{
    {"Kcalorie", "Kcalorie", nullptr, &RecipeLine::Kcalorie, &RecipeTotals::Kcalorie},
    {"Glucidi", "Glucidi", "g", &RecipeLine::Glucidi, &RecipeTotals::Glucidi},
    {"Lipidi", "Lipidi", "g", &RecipeLine::Lipidi, &RecipeTotals::Lipidi},
    {"Proteine", "Proteine", "g", &RecipeLine::Proteine, &RecipeTotals::Proteine},
}};

// The order the windows and the sheet show them in (indices into kNutrients): carbohydrates,
// proteins, fats, energy.
inline constexpr std::array<size_t, kNutrients.size()> kShownOrder = {1, 3, 2, 0};

} // namespace cibrano

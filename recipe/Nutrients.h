#pragma once
// The nutrients the recipe logic knows: one entry each, from which the recipe book's line
// fields, its files' field list, the reading of a line from the food table and from the book,
// the sums per recipe, per serving and per 100 g, the book window's columns and headings, the
// sheet's table, the CSV's columns and the nutrition declaration are all built. A nutrient the
// book keeps is one entry here.
//
// A nutrient's value in a line is a number per 100 g of the food, or not known: a table file
// keeps an empty number as it keeps 0, so the food table and the book's lines list the values
// they lack in their `Mancanti` field (recipe/MissingValues.h). A value not known is never
// counted as 0: a total over lines of which some lack it is the sum of the known values and is
// marked incomplete.
//
// Optional nutrients are those the first food tables and books did not have. A food table
// without one of their fields gives lines that list it in Mancanti. A book file without one of
// the book's optional fields (this list's optional nutrients, the lines' Mancanti, the recipes'
// final weight) opens writable: the engine adds the field to every record as the file loads
// (TZerovTable::setAddedFields), the lines read the value as not known, and the file gains the
// field at the book's next write. A file without a field that is not optional is a file of
// another table, and stays read-only.
//
// The main window's four totals and their labels are not built from this list: the food
// table's grid and totals panel stay as they are fixed.

#include <array>
#include <cstddef>

namespace cibrano {

struct Nutrient {
    // Its field in the food table and in the book's lines (ingredienti.d), and the CSV's
    // column: a float, per 100 g of the food.
    const char* field;
    // How the book's window and the sheet head it.
    const char* heading;
    // The unit its values are in; none for energy in kcal, whose heading names it.
    const char* unit;
    // The pattern its values and totals are shown in, with the user's separators.
    const char* format;
    // Energy per gram by Regulation (EU) No 1169/2011, Annex XIV; 0 for none.
    double kcalPerGram;
    double kjPerGram;
    // Whether a file may lack its field (see above).
    bool optional;
};

// The number patterns of values and totals: one decimal, as the main window's totals, and two
// for salt, whose tenths of a gram matter on a label.
inline constexpr const char* kOneDecimalFormat = "#,##0.0";
inline constexpr const char* kTwoDecimalsFormat = "#,##0.00";

// In the order the book's lines file stores them and the CSV lists them, which is also the
// order of the food table's fields.
inline constexpr std::array<Nutrient, 9> kNutrients = {{
    {"Kcalorie", "Kcalorie", nullptr, kOneDecimalFormat, 0, 0, false},
    {"Glucidi", "Glucidi", "g", kOneDecimalFormat, 4, 17, false},
    {"Lipidi", "Lipidi", "g", kOneDecimalFormat, 9, 37, false},
    {"Proteine", "Proteine", "g", kOneDecimalFormat, 4, 17, false},
    {"Kjoule", "Kilojoule", "kJ", kOneDecimalFormat, 0, 0, true},
    {"Zuccheri", "Zuccheri", "g", kOneDecimalFormat, 0, 0, true},
    {"Saturi", "Saturi", "g", kOneDecimalFormat, 0, 0, true},
    {"Fibre", "Fibre", "g", kOneDecimalFormat, 2, 8, true},
    {"Sale", "Sale", "g", kTwoDecimalsFormat, 0, 0, true},
}};

inline constexpr size_t kNutrientCount = kNutrients.size();

// Where each nutrient stands in kNutrients, for the code that needs one by name (the energy
// split, the declaration's rows and checks).
enum NutrientIndex : size_t {
    nKcalorie,
    nGlucidi,
    nLipidi,
    nProteine,
    nKjoule,
    nZuccheri,
    nSaturi,
    nFibre,
    nSale,
};

// The order the windows and the sheet show them in (indices into kNutrients): carbohydrates,
// proteins, fats and energy as the main window shows them, then kJ, sugars, saturates, fibre
// and salt.
inline constexpr std::array<size_t, kNutrientCount> kShownOrder = {
    nGlucidi, nProteine, nLipidi, nKcalorie, nKjoule, nZuccheri, nSaturi, nFibre, nSale};

// The names of the optional nutrients, blank-separated in list order: what the lines of a
// book file written before they existed lack ("Kjoule Zuccheri Saturi Fibre Sale").
const char* optionalNutrientNames();

} // namespace cibrano

#pragma once
// The nutrition declaration of a recipe as a European label shows it (Regulation (EU)
// No 1169/2011, worked out from the ingredients' average values as its Art. 31(4)(c) allows):
// energy, fat, saturates, carbohydrate, sugars, fibre, protein and salt per 100 g of the
// finished product and per portion (the final weight divided by the servings), with the share
// of the reference intakes (Annex XIII, Part B) per portion, every value rounded by
// recipe/DeclarationRounding.h. No window: the book's label window, the label's drawings and
// the command-line tool all show what this makes.
//
// What the data do not allow is said with it, never hidden: a mandatory nutrient that some
// line lacks makes the declaration incomplete (its cells carry kIncompleteMark, or read
// kNotKnown when no line knows it, and every output says so); fibre, which a label may leave
// out, is shown only when every line knows it; saturates above fat or sugars above
// carbohydrate in a food, and an energy that the Annex XIV factors do not find again within
// 5 %, are pointed out.

#include "platform/AnsiString.h"
#include "recipe/RecipeValues.h"

#include <array>
#include <optional>
#include <vector>

namespace cibrano {

// The texts of the declaration, as the label prints them.
inline constexpr const char* kDeclarationHeading = "Dichiarazione nutrizionale";
inline constexpr const char* kPer100gHeading = "per 100 g";
inline constexpr const char* kReferenceIntakeHeading = "%AR*";
inline constexpr const char* kReferenceIntakeNote =
    "* Assunzioni di riferimento di un adulto medio (8 400 kJ/2 000 kcal)";
// The mark of an incomplete declaration on every drawing of it.
inline constexpr const char* kIncompleteDeclaration = "DICHIARAZIONE INCOMPLETA";

// One row of the declaration, in the label's order.
struct DeclarationItem {
    // The nutrient of its values (energy: nKjoule, with nKcalorie beside it).
    size_t nutrient;
    // The row's text, and its linear form's word.
    const char* text;
    const char* linearText;
    // The reference intake in the nutrient's unit; 0 for none (fibre).
    double referenceIntake;
    // A "di cui" row, under the one before it.
    bool partOf;
    // Only shown when every line knows it.
    bool voluntary;
};

inline constexpr std::array<DeclarationItem, 8> kDeclarationItems = {{
    {nKjoule, "Energia", "energia", 8400, false, false},
    {nLipidi, "Grassi", "grassi", 70, false, false},
    {nSaturi, "di cui acidi grassi saturi", "di cui acidi grassi saturi", 20, true, false},
    {nGlucidi, "Carboidrati", "carboidrati", 260, false, false},
    {nZuccheri, "di cui zuccheri", "di cui zuccheri", 90, true, false},
    {nFibre, "Fibre", "fibre", 0, false, true},
    {nProteine, "Proteine", "proteine", 50, false, false},
    {nSale, "Sale", "sale", 6, false, false},
}};

// A row as shown: its texts per 100 g and per portion (energy "1046 kJ / 250 kcal") and the
// share of the reference intake per portion (empty for none).
struct DeclarationRow {
    const DeclarationItem* item;
    AnsiString per100g;
    AnsiString perPortion;
    AnsiString referenceIntake;
    // Energy's two lines, for a drawing that puts kJ above kcal.
    AnsiString per100gKcal;
    AnsiString perPortionKcal;
    bool complete = true;
};

struct NutritionDeclaration {
    AnsiString recipeName;
    double portionWeight = 0;
    // "per porzione (250 g)".
    AnsiString perPortionHeading;
    // The rows shown, in kDeclarationItems' order (fibre left out when some line lacks it).
    std::vector<DeclarationRow> rows;
    // Every mandatory nutrient is known for every line.
    bool complete = true;
    // What is incomplete or inconsistent, one sentence each.
    std::vector<AnsiString> warnings;
    // What was assumed or left out (the weight used, fibre not declared).
    std::vector<AnsiString> notes;
    // "Valori nutrizionali medi per 100 g: energia 1046 kJ/250 kcal; grassi 12 g, …".
    AnsiString linear;
};

// The declaration of a recipe's lines for `servings` portions of a dish weighing `finalWeight`
// grams (0: the sum of the lines' grams, said in a note; servings below 1 count as 1, also
// said). Numbers take `decimalSeparator`. Raises EDatabaseError when there are no lines, or
// when the dish weighs nothing.
NutritionDeclaration nutritionDeclaration(const AnsiString& recipeName,
                                          const std::vector<RecipeLine>& lines, int servings,
                                          double finalWeight, char decimalSeparator);

// The declaration as text, one line each, cells separated by a tab: the heading, the columns,
// the rows, the note on the reference intakes; then the linear form; then each warning after
// "Attenzione: " and each note after "Nota: ". What the tool prints and the window copies.
AnsiString declarationText(const NutritionDeclaration& declaration);

inline constexpr const char* kWarningPrefix = "Attenzione: ";
inline constexpr const char* kNotePrefix = "Nota: ";

} // namespace cibrano

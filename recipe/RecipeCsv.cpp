#include "recipe/RecipeCsv.h"

#include "platform/Csv.h"
#include "recipe/Nutrients.h"

namespace cibrano {

namespace {

// The totals are worked out, not stored: six decimals say more than any value of a food.
constexpr int kTotalDecimals = 6;

std::string total(double value) {
    return csvRounded(value, kTotalDecimals);
}

std::vector<std::string> totalsRow(const char* what, const AnsiString& name, double grams,
                                   const RecipeTotals* t) {
    std::vector<std::string> row = {ansiToUtf8(what), ansiToUtf8(name), total(grams)};
    for (const Nutrient& n : kNutrients)
        row.push_back(t ? total(t->*n.amount) : "");
    return row;
}

} // namespace

std::string recipeCsv(const RecipeSheetData& sheet) {
    std::vector<std::string> head = {"Gruppo", "Nome", "Quantita"};
    for (const Nutrient& n : kNutrients)
        head.push_back(n.field);
    std::string out = csvLine(head);
    for (const RecipeLine& l : sheet.lines) {
        std::vector<std::string> row = {ansiToUtf8(l.Gruppo), ansiToUtf8(l.Nome),
                                        csvNumber(l.Quantita)};
        for (const Nutrient& n : kNutrients)
            row.push_back(csvNumber(l.*n.perHundredGrams));
        out += csvLine(row);
    }
    const RecipeValues& v = sheet.values;
    out += csvLine(totalsRow("Totale ricetta", sheet.name, v.grams, &v.totals));
    out += csvLine(totalsRow("Per porzione", sheet.name, v.grams / v.servings, &v.perServing));
    out += csvLine(totalsRow("Per 100 g", sheet.name, 100, v.per100g ? &*v.per100g : nullptr));
    return out;
}

void writeRecipeCsv(const RecipeSheetData& sheet, const std::string& path) {
    writeExportFile(path, recipeCsv(sheet));
}

} // namespace cibrano

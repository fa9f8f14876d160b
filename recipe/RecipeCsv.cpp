#include "recipe/RecipeCsv.h"

#include "platform/Csv.h"

namespace cibrano {

namespace {

// The totals are worked out, not stored: six decimals say more than any value of a food.
constexpr int kTotalDecimals = 6;

std::string total(double value) {
    return csvRounded(value, kTotalDecimals);
}

std::vector<std::string> totalsRow(const char* what, const AnsiString& name, double grams,
                                   const RecipeTotals* t) {
    if (!t)
        return {ansiToUtf8(what), ansiToUtf8(name), total(grams), "", "", "", ""};
    return {ansiToUtf8(what),  ansiToUtf8(name), total(grams),      total(t->Kcalorie),
            total(t->Glucidi), total(t->Lipidi), total(t->Proteine)};
}

} // namespace

std::string recipeCsv(const RecipeSheetData& sheet) {
    std::string out =
        csvLine({"Gruppo", "Nome", "Quantita", "Kcalorie", "Glucidi", "Lipidi", "Proteine"});
    for (const RecipeLine& l : sheet.lines)
        out += csvLine({ansiToUtf8(l.Gruppo), ansiToUtf8(l.Nome), csvNumber(l.Quantita),
                        csvNumber(l.Kcalorie), csvNumber(l.Glucidi), csvNumber(l.Lipidi),
                        csvNumber(l.Proteine)});
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

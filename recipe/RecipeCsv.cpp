#include "recipe/RecipeCsv.h"

#include "platform/Csv.h"
#include "recipe/MissingValues.h"
#include "recipe/Nutrients.h"

namespace cibrano {

namespace {

// The totals are worked out, not stored: six decimals say more than any value of a food.
constexpr int kTotalDecimals = 6;

std::string total(double value) {
    return csvRounded(value, kTotalDecimals);
}

std::vector<std::string> totalsRow(const char* what, const AnsiString& name, double grams,
                                   const NutrientTotals* t) {
    std::vector<std::string> row = {ansiToUtf8(what), ansiToUtf8(name), total(grams)};
    MissingValues incomplete;
    for (size_t i = 0; i < kNutrientCount; ++i) {
        // A total no line knows is not known; one some line lacks is the known values' sum,
        // its name in the last column.
        row.push_back(t && !t->unknown(i) ? total(t->amount[i]) : "");
        if (t && !t->complete(i))
            incomplete.set(kNutrients[i].field, true, {});
    }
    row.push_back(ansiToUtf8(incomplete.text()));
    return row;
}

} // namespace

std::string recipeCsv(const RecipeSheetData& sheet) {
    std::vector<std::string> head = {"Gruppo", "Nome", "Quantita"};
    for (const Nutrient& n : kNutrients)
        head.push_back(n.field);
    head.push_back(MissingValues::kFieldName);
    std::string out = csvLine(head);
    for (const RecipeLine& l : sheet.lines) {
        std::vector<std::string> row = {ansiToUtf8(l.Gruppo), ansiToUtf8(l.Nome),
                                        csvNumber(l.Quantita)};
        MissingValues missing;
        for (size_t i = 0; i < kNutrientCount; ++i) {
            row.push_back(l.knows(i) ? csvNumber(l.values[i]) : "");
            if (!l.knows(i))
                missing.set(kNutrients[i].field, true, {});
        }
        row.push_back(ansiToUtf8(missing.text()));
        out += csvLine(row);
    }
    const RecipeValues& v = sheet.values;
    out += csvLine(totalsRow("Totale ricetta", sheet.name, v.grams, &v.totals));
    out += csvLine(totalsRow("Per porzione", sheet.name, v.servingWeight(), &v.perServing));
    out += csvLine(totalsRow("Per 100 g", sheet.name, 100, v.per100g ? &*v.per100g : nullptr));
    return out;
}

void writeRecipeCsv(const RecipeSheetData& sheet, const std::string& path) {
    writeExportFile(path, recipeCsv(sheet));
}

} // namespace cibrano

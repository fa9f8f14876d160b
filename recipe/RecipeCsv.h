#pragma once
// A recipe as CSV (UTF-8, RFC 4180 quoting, CRLF), in the columns of the food table as
// `cibrano-table dump` writes them: Gruppo, Nome, Quantita, each nutrient of recipe/Nutrients.h
// and Mancanti. First the header line, then the ingredient lines as the food table has them
// (the grams, the values per 100 g, a value not known left empty and named in Mancanti), then
// three lines of totals whose Gruppo says what they are and whose values are those of the
// grams in Quantita: the whole recipe ("Totale ricetta", the ingredients' grams), one serving
// ("Per porzione", the finished dish's weight divided by the servings) and 100 g of the
// finished dish ("Per 100 g", values left empty when it weighs nothing). A total that some line
// does not know is the sum of the known values, named in the row's Mancanti; one that no line
// knows is empty. Numbers use "." and every digit a double needs, as the dump does.

#include "recipe/RecipeSheetData.h"

#include <string>

namespace cibrano {

std::string recipeCsv(const RecipeSheetData& sheet);
// Writes it to `path` atomically (a temporary file in the same folder renamed over it); a file
// that cannot be written raises EDatabaseError naming it, and leaves nothing behind.
void writeRecipeCsv(const RecipeSheetData& sheet, const std::string& path);

} // namespace cibrano

#pragma once
// The tool's sheet command: the sheet of a recipe of a recipe book, as PDF and/or CSV.

#include "tools/Commands.h"

#include <iosfwd>
#include <string>

namespace cibrano {
class RecipeFileReader;
}

namespace cibrano::tool {

// The error of a recipe the book does not hold, naming the recipes of close names.
std::string noSuchRecipe(const RecipeFileReader& book, const std::string& file,
                         const AnsiString& name);

// `recipesFile` is the book's ricette.d; its ingredienti.d is read from the same folder.
void runSheet(const std::string& recipesFile, const Options& options, std::ostream& out);

} // namespace cibrano::tool

#pragma once
// The tool's sheet command: the sheet of a recipe of a recipe book, as PDF and/or CSV.

#include "recipe/RecipeBook.h"
#include "tools/Commands.h"

#include <iosfwd>
#include <string>

namespace cibrano::tool {

// A recipe of a book named on the command line, and its lines.
struct KeptRecipe {
    RecipeInfo recipe;
    std::vector<RecipeLine> lines;
};

// The recipe --recipe names in the book at `file` (ricette.d, its ingredienti.d beside it),
// read under --password: a file that cannot be read, and a recipe the book does not hold
// (the error naming the recipes of close names), raise the tool's error.
KeptRecipe readKeptRecipe(const std::string& file, const Options& options);

// `recipesFile` is the book's ricette.d; its ingredienti.d is read from the same folder.
void runSheet(const std::string& recipesFile, const Options& options, std::ostream& out);

} // namespace cibrano::tool

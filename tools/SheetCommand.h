#pragma once
// The tool's sheet command: the sheet of a recipe of a recipe book, as PDF and/or CSV.

#include "tools/Commands.h"

#include <iosfwd>
#include <string>

namespace cibrano::tool {

// `recipesFile` is the book's ricette.d; its ingredienti.d is read from the same folder.
void runSheet(const std::string& recipesFile, const Options& options, std::ostream& out);

} // namespace cibrano::tool

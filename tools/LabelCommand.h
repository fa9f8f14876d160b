#pragma once
// The tool's label command: the nutrition declaration of a recipe of a recipe book, as text on
// standard output and/or drawn as a label in PDF, SVG or PNG.

#include "tools/Commands.h"

#include <iosfwd>
#include <string>

namespace cibrano::tool {

// The exit status of a declaration that lacks mandatory values.
inline constexpr int kIncompleteStatus = 3;

// `recipesFile` is the book's ricette.d; its ingredienti.d is read from the same folder.
// Answers 0, or kIncompleteStatus for an incomplete declaration (its files are written all the
// same, marked so).
int runLabel(const std::string& recipesFile, const Options& options, std::ostream& out,
             std::ostream& err);

} // namespace cibrano::tool

#pragma once
// The recipe sheet as a PDF file, behind a plain C++ interface: no Qt here, so that the
// command-line tool can make sheets without including Qt. The drawing itself
// (sheet/SheetPainter.h) uses Qt's painter; when the process has no Qt application object yet,
// one is made on Qt's offscreen platform, which needs no display.

#include "recipe/RecipeSheetData.h"

#include <string>

namespace cibrano {

// The sheet as the bytes of a PDF document (A4). Raises EDatabaseError when Qt cannot draw
// (no offscreen platform plugin to be found).
std::string recipeSheetPdf(const RecipeSheetData& sheet);

// Writes the sheet to `path` atomically (a temporary file in the same folder renamed over the
// target): a file that cannot be written (folder missing, read-only, disk full) raises
// EDatabaseError with a message naming it, and leaves no half-written file behind.
void writeRecipeSheetPdf(const RecipeSheetData& sheet, const std::string& path);

} // namespace cibrano

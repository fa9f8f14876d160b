#pragma once
// The recipe sheet ("Scheda nutrizionale") drawn with QPainter on a paged device (a PDF writer
// or a printer). Page 1: the recipe's name, servings and date, the totals for the recipe, per
// serving and per 100 g, the energy split as a pie with its shares and the factors used, then
// the ingredients (Gruppo, Nome, grams) in the book's order, which go on over as many pages as
// they need under a repeated heading. Every page has a footer with the program's name and
// "Pagina N di M". Sizes are in points, so that the sheet looks the same at any resolution.

#include "recipe/RecipeSheetData.h"

class QPagedPaintDevice;

namespace cibrano {

// Paints the sheet on the device, from its current (first) page on, starting new pages as it
// goes; answers the number of pages. The device's page size and margins are left as they are
// (the sheet keeps margins of its own inside them).
int paintRecipeSheet(QPagedPaintDevice& device, const RecipeSheetData& sheet);

} // namespace cibrano

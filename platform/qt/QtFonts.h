#pragma once
// The fonts the windows ask for by their stored names. "MS Sans Serif" and "System" are not
// on a Linux desktop: installFontSubstitutes() lets Qt answer them with the first of
// "Liberation Sans", "DejaVu Sans", "Arial", "Helvetica" that is installed. Sizes are pixel
// heights, as the windows store them (logical pixels, scaled by Qt on dense screens).

#include <QFont>
#include <QStringList>

namespace cibrano {

// The fallback list, in the order tried.
QStringList sansSerifSubstitutes();
// Registers the substitutes for "MS Sans Serif" and "System". Idempotent.
void installFontSubstitutes();
// "MS Sans Serif" at `pixelHeight` pixels (the stored height 11 is the 8-point font).
QFont msSansSerif(int pixelHeight, bool bold = false);

} // namespace cibrano

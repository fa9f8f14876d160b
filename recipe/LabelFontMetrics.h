#pragma once
// How wide a text is in the label's typeface, without a window system to ask: the advance
// widths of Helvetica and Helvetica Bold (Adobe's published font metrics, in thousandths of the
// font size), which Liberation Sans and Arial share. The label is laid out with them, so that
// its SVG (drawn by whoever opens it) and its PDF and PNG (drawn by Qt) place the same texts
// in the same room. Accented letters of Windows-1252 take their letter's width.

#include "platform/AnsiString.h"

namespace cibrano {

// The width of `text` (Windows-1252) at a font size of `size`, in the unit of `size`.
double labelTextWidth(const AnsiString& text, double size, bool bold);

} // namespace cibrano

#pragma once
// The nutrition label drawn with QPainter from its layout (recipe/LabelLayout.h): the rules and
// the texts where the layout puts them, black, in the label's typeface; a text that the font
// found sets wider than its room is narrowed to it. The caller paints the white ground.

#include "recipe/LabelLayout.h"

#include <QImage>

class QPainter;

namespace cibrano {

// Paints the label with its top left corner at the device's origin, `dotsPerMm` device units
// to the millimetre; the device's logical resolution must be that many dots per inch / 25.4,
// as it is for a QPdfWriter of that resolution or a QImage with those dots per metre.
void paintLabel(QPainter& painter, const LabelLayout& layout, double dotsPerMm);

// The label on a white image, `dotsPerMm` pixels to the millimetre (its resolution set so).
QImage labelImage(const LabelLayout& layout, double dotsPerMm);

} // namespace cibrano

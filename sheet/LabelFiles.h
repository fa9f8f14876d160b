#pragma once
// The nutrition label as a PDF (one page the label's size) and as a PNG (300 dpi), behind a
// plain C++ interface like the sheet's (sheet/SheetPdf.h): the command-line tool makes them
// without Qt in its own code, and without a display. Both are black on white.

#include "recipe/LabelLayout.h"

#include <string>

namespace cibrano {

inline constexpr int kLabelPngDpi = 300;

// The document's bytes. Raise EDatabaseError when Qt cannot draw.
std::string nutritionLabelPdf(const LabelLayout& layout);
std::string nutritionLabelPng(const LabelLayout& layout);
// The PNG's size in pixels: the label's millimetres at 300 dpi, rounded.
int labelPixels(double mm);

// Written atomically; a file that cannot be written raises EDatabaseError naming it and leaves
// nothing half-written.
void writeNutritionLabelPdf(const LabelLayout& layout, const std::string& path);
void writeNutritionLabelPng(const LabelLayout& layout, const std::string& path);

} // namespace cibrano

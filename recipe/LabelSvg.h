#pragma once
// The label as an SVG document (UTF-8 XML, sizes in millimetres), for a label printer's
// software or the packaging designer: the layout of recipe/LabelLayout.h written as it is,
// black on a white ground, its texts in the label's typeface.

#include "recipe/LabelLayout.h"

#include <string>

namespace cibrano {

std::string labelSvg(const LabelLayout& layout);

} // namespace cibrano

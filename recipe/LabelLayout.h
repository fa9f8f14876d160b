#pragma once
// The nutrition declaration laid out as a label, in millimetres, without drawing it: texts
// (each with its position, size, weight, alignment and the room it has) and rules. The label's
// SVG (recipe/LabelSvg.h) writes this layout as it is, and the sheet's painter draws the same
// layout for the PDF and the PNG, so every form of the label looks alike.
//
// The label is as wide as asked (40 to 120 mm) and as tall as its content: the heading, the
// mark of an incomplete declaration, the table (the row texts, per 100 g, per portion, %AR*;
// energy's kJ above its kcal), the note on the reference intakes and, when incomplete, what
// its marks mean. The type grows with the width (an x-height of 1.2 mm, the regulation's
// least, from the default width on) and shrinks as far as the table needs to fit a narrow label;
// long texts wrap at blanks, never between a number and what follows it. Black on white.

#include "platform/AnsiString.h"
#include "recipe/NutritionDeclaration.h"

#include <vector>

namespace cibrano {

inline constexpr double kMinLabelWidth = 40;
inline constexpr double kMaxLabelWidth = 120;
inline constexpr double kDefaultLabelWidth = 70;
// The typeface the label is measured in (recipe/LabelFontMetrics.h) and drawn in, then the
// ones of the same widths a reader of the SVG may have instead.
inline constexpr const char* kLabelFontFamily = "Liberation Sans";
inline constexpr const char* kLabelFontFallbacks = "Arial, Helvetica, sans-serif";

enum class LabelAlign { Left, Right, Centre };

struct LabelText {
    // The baseline's left end, right end or middle (by `align`), in mm from the top left.
    double x = 0;
    double y = 0;
    // The font size (its em) in mm.
    double size = 0;
    bool bold = false;
    LabelAlign align = LabelAlign::Left;
    // The width the text has room for: a drawing whose font runs wider narrows it to this.
    double room = 0;
    AnsiString text;
};

struct LabelRule {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    // Stroke width in mm.
    double width = 0;
};

struct LabelLayout {
    double width = 0;
    double height = 0;
    std::vector<LabelText> texts;
    std::vector<LabelRule> rules;
    // What a document made of it is called: the heading and the recipe's name.
    AnsiString title;
};

// Raises EDatabaseError, in Italian, for a width outside 40..120 mm.
void checkLabelWidth(double widthMm);
// The label of the declaration, `widthMm` wide (checked).
LabelLayout labelLayout(const NutritionDeclaration& declaration, double widthMm);

} // namespace cibrano

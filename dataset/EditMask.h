#pragma once
// Edit masks: how a string field with an EditMask shows its text.
//
// A mask is "pattern;saveLiterals;blank". In the pattern, L l A a C c 0 9 # stand for one
// character of the value each; "\" makes the next character a literal; ">" writes what
// follows in upper case, "<" in lower case, "<>" switches that off; "!" is ignored; every
// other character is a literal. With saveLiterals "0" the stored value holds only the
// characters for the placeholders and the literals are put in; otherwise (the default) the
// stored value holds the literals too, each in its place. Missing characters are shown as
// the blank character (default "_").

#include "platform/AnsiString.h"

namespace cibrano {

AnsiString formatMaskText(const AnsiString& mask, const AnsiString& value);

} // namespace cibrano

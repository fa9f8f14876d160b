#pragma once
// How far apart two texts are, as a person mistyping one for the other would make them.

#include <cstddef>
#include <string_view>

namespace cibrano {

// The edit distance of two texts: the fewest insertions, deletions and replacements of one
// byte that make one the other.
size_t editDistance(std::string_view a, std::string_view b);

} // namespace cibrano

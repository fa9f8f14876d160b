#pragma once
// The value functions' texts.

namespace cibrano::msg {

// The text of a value that is not there: no record buffer, or a slot of no known kind.
inline constexpr const char* NotFoundText = "Not Found";

} // namespace cibrano::msg

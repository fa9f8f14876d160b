#pragma once
// The record store's messages, which the table dataset puts after its own prefixes.

namespace cibrano::msg {

inline constexpr const char* RecordNotFound = "Record is not found";
inline constexpr const char* RecordDeleted = "Record has been deleted";

} // namespace cibrano::msg

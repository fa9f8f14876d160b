#pragma once
// The grid's messages.

namespace cibrano::gridconsts {

inline constexpr const char* kTooManyColumns = "Grid requested to display more than 256 columns";
inline constexpr const char* kDeleteRecordQuestion = "Delete record?";
inline constexpr const char* kDeleteMultipleRecordsQuestion = "Delete all selected records?";

} // namespace cibrano::gridconsts

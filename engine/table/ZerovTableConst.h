#pragma once
// Messages of the table component, the database folder and the BLOB stream. Texts with %s are
// filled with formatText.

namespace cibrano::tblmsg {

// Loading a table.
inline constexpr const char* NoFieldDescriptions = "Error creating table (no field descriptions)";
inline constexpr const char* ErrorOpeningFile = "Error opening file %s";
inline constexpr const char* CloneNotActive = "Cloned table is not active!";
inline constexpr const char* NoLoadingStream = "Loading stream is not assigned";

// BLOB values: the table file holds at most this many bytes in one value, and so may a field.
inline constexpr const char* BlobTooLong =
    "Field '%s' cannot hold %s bytes; a table stores at most %d";
// A BLOB stream of a dataset that is not a table dataset, or of a field that is not a BLOB.
inline constexpr const char* NotBlobField = "Field '%s' is not a BLOB field of a table";

} // namespace cibrano::tblmsg

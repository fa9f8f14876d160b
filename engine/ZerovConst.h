#pragma once
// The table engine's messages, kept in tables so that every place raising one uses the same
// words. Texts with %s / %d are filled with formatText. This header holds the record store's
// and the session's; it brings in those of the filter language, the table dataset and the
// table component, which live beside their modules.

#include "engine/query/ZerovParserConst.h"
#include "engine/table/ZerovDatasetConst.h"
#include "engine/table/ZerovMasterLinkConst.h"
#include "engine/table/ZerovTableConst.h"

namespace cibrano::msg {

// Reading and writing table images.
inline constexpr const char* InvalidPassword = "Invalid password. Table cannot be open";
inline constexpr const char* BufferCorruption = "Buffer structure corruption!";
inline constexpr const char* FieldSectionError =
    "Error in buffer structure (field description section)";
inline constexpr const char* UnexpectedEnd = "Unexpected end of buffer";
inline constexpr const char* FieldWrongLength = "Field '%s' has wrong length %d in record %d";
inline constexpr const char* StringFieldWrongLength =
    "String field '%s' has wrong length %d in record %d";
inline constexpr const char* BlobFieldWrongLength =
    "BLOB field '%s' has wrong length %d in record %d";
inline constexpr const char* RecordCountMismatch =
    "Number of records read (%d) does not match declared record count (%d)";

// Record store.
inline constexpr const char* RecordNotFound = "Record is not found";
inline constexpr const char* RecordDeleted = "Record has been deleted";

// Dataset prefixes for store failures.
inline constexpr const char* ErrorOpeningTable = "Error opening table: ";
inline constexpr const char* ErrorSavingRecord = "Error saving record: ";
inline constexpr const char* ErrorSavingNewRecord = "Error saving new record: ";
inline constexpr const char* ErrorDeletingRecord = "Error deleting record: ";

// Passwords.
inline constexpr const char* PasswordInvalidTryAgain = "Password is invalid. Try again";
inline constexpr const char* LoginPasswordCaption = "Login password";
inline constexpr const char* EnterPasswordLabel = "Enter password:";

// Values.
inline constexpr const char* NotFoundText = "Not Found";

} // namespace cibrano::msg

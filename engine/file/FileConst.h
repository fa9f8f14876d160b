#pragma once
// The messages of reading and writing table images and of table passwords. Texts with %s / %d
// are filled with formatText.

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

// Passwords.
inline constexpr const char* PasswordInvalidTryAgain = "Password is invalid. Try again";
inline constexpr const char* LoginPasswordCaption = "Login password";
inline constexpr const char* EnterPasswordLabel = "Enter password:";

} // namespace cibrano::msg

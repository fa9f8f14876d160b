#pragma once
// The table dataset's messages. Texts with %s / %d are filled with formatText.

#include <string_view>

namespace cibrano::dsmsg {

// Opening, closing, navigation.
inline constexpr const char* ClonesStillOpen =
    "Cloned tables are not closed before source dataset is closed!";
inline constexpr const char* NoRecords = "Number of records is equal to 0";
inline constexpr const char* ClosedDataset = "Cannot do this operation on closed dataset";
inline constexpr const char* StructureChanged =
    "The table's field structure changed on disk; the table was closed";

// Keys.
inline constexpr const char* CalcOrBlobKeyFields =
    "There are calc or BLOB fields in list of key fields";

// Editing.
inline constexpr const char* ReadOnlyDelete = "Read-only record cannot be deleted";
inline constexpr const char* ReadOnlyEdit = "Read-only record cannot be changed";
inline constexpr const char* ReadOnlyInsert = "You have read only access, you can not add records!";
inline constexpr const char* NotEditing = "Table is not in edit or insert mode";
inline constexpr const char* CannotEditCalcFields = "Cannot edit CalcFields";
inline constexpr const char* FieldReadOnly = "Field '%s' is read only!";
inline constexpr const char* KeyViolation = "Key violation";
// A long text a table file cannot hold (the reader refuses longer texts).
inline constexpr const char* TextTooLong =
    "Field '%s' holds %d characters; a table stores at most %d";

// New-record defaults.
inline constexpr const char* DefaultToday = "TODAY";
inline constexpr const char* DefaultNow = "NOW";
inline constexpr const char* DefaultUniqueCode = "UNICOD";

} // namespace cibrano::dsmsg

namespace cibrano::msg {

// Prefixes of the record store's failures, before the store's own message.
inline constexpr const char* ErrorOpeningTable = "Error opening table: ";
inline constexpr const char* ErrorSavingRecord = "Error saving record: ";
inline constexpr const char* ErrorSavingNewRecord = "Error saving new record: ";
inline constexpr const char* ErrorDeletingRecord = "Error deleting record: ";

// An opening failure's message without ErrorOpeningTable, for a caller that names the file
// itself.
inline std::string_view withoutOpeningPrefix(std::string_view message) {
    const std::string_view prefix = ErrorOpeningTable;
    return message.substr(0, prefix.size()) == prefix ? message.substr(prefix.size()) : message;
}

} // namespace cibrano::msg

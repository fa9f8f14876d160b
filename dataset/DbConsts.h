#pragma once
// The dataset framework's messages. Templates are filled with formatText.

namespace cibrano::dbconsts {

// Datasets.
inline constexpr const char* kDataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* kDataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* kNotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* kDataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* kDataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* kRecordNotFound = "Record not found";
inline constexpr const char* kFieldRequired = "Field '%s' must have a value";
inline constexpr const char* kCapabilityNotSupported = "Capability not supported";
inline constexpr const char* kDataSetBusy =
    "Cannot perform this operation while a record is being calculated, filtered or written";

// Fields and field definitions.
inline constexpr const char* kFieldNameMissing = "Field name missing";
inline constexpr const char* kFieldNotFound = "Field '%s' not found";
inline constexpr const char* kDuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* kFieldAccessError = "Cannot access field '%s' as type %s";
inline constexpr const char* kDataSetMissing = "Field '%s' has no dataset";
inline constexpr const char* kUnknownFieldType = "Field '%s' is of an unknown type";
inline constexpr const char* kFieldTypeMismatch =
    "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr const char* kFieldSizeMismatch =
    "Size mismatch for field '%s', expecting: %d actual: %d";
inline constexpr const char* kInvalidFieldSize = "Invalid field size";
inline constexpr const char* kInvalidFloatValue =
    "'%s' is not a valid floating point value for field '%s'";
inline constexpr const char* kFloatRangeError =
    "%g is not a valid value for field '%s'. The allowed range is %g to %g";
inline constexpr const char* kInvalidIntegerValue =
    "'%s' is not a valid integer value for field '%s'";
inline constexpr const char* kIntegerRangeError =
    "%d is not a valid value for field '%s'. The allowed range is %d to %d";
inline constexpr const char* kInvalidBoolValue = "'%s' is not a valid boolean value for field '%s'";
inline constexpr const char* kInvalidDate = "'%s' is not a valid date";
inline constexpr const char* kInvalidTime = "'%s' is not a valid time";
inline constexpr const char* kInvalidDateTime = "'%s' is not a valid date and time";
inline constexpr const char* kTextTrue = "True";
inline constexpr const char* kTextFalse = "False";
inline constexpr const char* kVariantConversion =
    "Could not convert variant of type (%s) into type (%s)";

// Data sources and data links.
inline constexpr const char* kCircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* kDataSourceChange = "DataSource cannot be changed";

} // namespace cibrano::dbconsts

#pragma once
// Messages of the filter language and of wildcard masks. Texts with %s / %d are filled with
// formatText.

namespace cibrano::exprmsg {

// Wildcard masks.
inline constexpr const char* InvalidMask = "'%s' is an invalid mask at (%d)";

// Tokenizer.
inline constexpr const char* InvalidSymbol =
    "Invalid symbol in parameter/identificator/reserved word";
inline constexpr const char* UnmatchedQuote = "Unmatched quote";
inline constexpr const char* UnmatchedParentheses = "Unmatched parentheses";
inline constexpr const char* InvalidNumber = "Token %s is invalid number";
inline constexpr const char* InvalidIdentifier = "Parameter %s is not valid identifier";
inline constexpr const char* UnsupportedFunction = "Unsupported function %s in query";
inline constexpr const char* AggregateSymbol =
    "Symbol %s is not supported in aggregate function argument";

// Condition reader.
inline constexpr const char* ComparisonError = "Error in comparison expression";

// Preparing and evaluating conditions against a table.
inline constexpr const char* FieldNotFound = "Field %s is not found";
inline constexpr const char* FieldTypesNotEqual = "Types of compared fields are not equal";
// A constant of a Filter condition that the compared field cannot hold.
inline constexpr const char* InvalidFilterValue = "'%s' is not a valid value for field %s";

} // namespace cibrano::exprmsg

#pragma once
// Tokens of the filter language, and its reserved words.

#include "platform/AnsiString.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace cibrano {

// The kinds of token, with the codes they are stored with.
enum TZerovTokenKind : uint8_t {
    tokIdentifier = 1, // a word that is not reserved
    tokString = 2,     // a quoted constant, without its quotes
    tokComma = 3,
    tokDot = 4,
    tokKeyword = 5, // a reserved word with no kind of its own, upper-cased
    tokNumber = 6,
    tokStar = 7,
    tokArith = 8,     // + - /
    tokLogic = 9,     // AND OR NOT
    tokRelation = 10, // = < > >= <= <> *=
    tokOpen = 11,
    tokClose = 12,
    tokNull = 13,
    tokCount = 14, // the aggregates, when "(" follows the word right away
    tokSum = 15,
    tokMax = 16,
    tokMin = 17,
    tokAvg = 18,
    tokTrue = 20,
    tokFalse = 21,
};

struct TZerovToken {
    AnsiString text;
    TZerovTokenKind kind = tokIdentifier;
};

// The 22 reserved words, upper-case.
inline constexpr std::array<std::string_view, 22> kZerovReservedWords = {
    "SELECT", "FROM",  "WHERE", "AS",  "AND", "OR",  "NOT", "NULL", "JOIN",  "LEFT",     "ON",
    "LIKE",   "GROUP", "BY",    "SUM", "MAX", "MIN", "AVG", "TRUE", "FALSE", "DISTINCT", "COUNT"};

// Whether the word is reserved, in any case.
bool isZerovReservedWord(std::string_view word);

} // namespace cibrano

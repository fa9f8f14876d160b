#pragma once
// The query room (engine/query/): the filter language. Tokens, the condition reader, these
// conditions, the filter that prepares and tests them against records, wildcard masks and
// their messages. It needs only records and their value functions (the record room), and sits
// under the table room, whose Filter property it serves.
//
// Filter conditions as the condition reader leaves them, and the plain records of query
// pieces that the tokenizer's vocabulary names.

#include "engine/query/ZerovMask.h"
#include "engine/query/ZerovToken.h"
#include "engine/record/ZerovField.h"
#include "platform/AnsiString.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace cibrano {

enum TZerovRelation : uint8_t {
    relEqual = 1,        // =
    relGreater = 2,      // >
    relLess = 3,         // <
    relGreaterEqual = 4, // >=
    relLessEqual = 5,    // <=
    relNotEqual = 6,     // <>
    relLike = 7,         // LIKE
    relStarEqual = 8,    // *=
};

// One comparison of a filter: a field against a constant or against another field.
struct TZerovCField {
    AnsiString leftSource; // the name before a ".", empty when none was written
    AnsiString leftOperand;
    AnsiString rightSource;
    AnsiString rightOperand;
    TZerovTokenKind leftKind = tokIdentifier; // tokIdentifier or tokString
    // tokIdentifier, tokString, tokNumber, tokNull, tokTrue or tokFalse
    TZerovTokenKind rightKind = tokIdentifier;
    TZerovRelation relation = relEqual;

    // Set when the conditions are prepared against a table's fields, anew each time the
    // visible records are rebuilt: the constant's text, the compiled mask of a LIKE against
    // a constant, and the fields compared (rightField only for a field-to-field comparison).
    AnsiString constant;
    std::unique_ptr<TZerovMask> mask;
    const TZerovField* leftField = nullptr;
    const TZerovField* rightField = nullptr;
};

using TZerovConditionList = std::vector<TZerovCField>;

// Query pieces: recognised by the vocabulary, read by no path of the program.
struct TZerovQSource {
    AnsiString tableName;
    AnsiString alias;
};

struct TZerovQJoin {
    bool leftJoin = false;
    AnsiString source;
    TZerovConditionList on;
};

struct TZerovQColumn {
    AnsiString source;
    AnsiString fieldName;
    AnsiString alias;
    TZerovTokenKind aggregate = tokIdentifier; // tokCount..tokAvg for an aggregate column
    bool distinct = false;
};

} // namespace cibrano

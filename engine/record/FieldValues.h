#pragma once
// The record room (engine/record/), the engine's lowest: one record and its values. Field
// descriptions as stored (TZerovField), record buffers and their slots, entries, the record
// pool, these value functions and unique codes. Every room above reads and compares values
// through it; it needs only the dataset framework's types and the platform.
//
// Field values in record buffers: their display texts, conversion of texts into slots, and
// the one comparison of values that sorting, searching, key checks, ranges and filters use.
// Texts follow the regional settings (decimal separator, short date and long time formats).

#include "engine/record/RecordEntry.h"
#include "engine/record/UniqueCode.h"
#include "engine/record/ZerovField.h"
#include "platform/AnsiString.h"

#include <cstdint>
#include <string_view>

namespace cibrano {

// The display text of the field's value in the record: from the backup buffer when `oldValue`
// is set and the record has one, else from its data. Kinds without a text (o, g, unknown)
// give "Not Found", and so does a record with no data left.
AnsiString fieldValueAsText(const TZerovField& f, const RecordEntry& e, bool oldValue = false);
// The same for the field's slot in a record buffer.
AnsiString bufferValueAsText(const uint8_t* buffer, const TZerovField& f);

// Writes the value that `text` denotes into `slot` (the field's slot, dataSize bytes),
// releasing any text or BLOB the slot referred to. An empty text, or a text that does not
// convert, leaves the slot empty.
void fieldValueFromText(uint8_t* slot, std::string_view text, const TZerovField& f);

// The integer grammar the integer kinds are converted with: optional leading blanks, an
// optional sign, digits, nothing after them; false when the text is not one or the number is
// outside low..high.
bool tryParseIntegerIn(std::string_view text, long long low, long long high, long long& value);

// Texts ordered as the engine sorts them: an empty text first, then by their common prefix
// (byte values, or ignoring case with the platform's case rule), a text before its own
// extensions. Negative, 0 or positive.
int compareTexts(const char* a, const char* b, bool caseInsensitive); // NUL-terminated texts

// Negative, 0 or positive as the value in slot A sorts before, with or after the one in B.
int compareFieldValues(const uint8_t* slotA, const uint8_t* slotB, const TZerovField& f,
                       bool caseInsensitive);

// The first non-zero comparison over the first `count` fields of the list (all of them when
// `count` is negative), each at its own slot offset; 0 when all are equal.
int compareRecordKeys(const uint8_t* bufferA, const uint8_t* bufferB, const ZerovFieldList& fields,
                      int count, bool caseInsensitive = false);

} // namespace cibrano

#pragma once
// Field values as CSV texts (UTF-8) and back. Numbers use "." as decimal separator and keep
// every digit a double needs; dates, times and booleans follow the tool's fixed regional
// settings; binary BLOBs are written as hexadecimal digits.

#include "engine/ZerovTbl.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace cibrano::tool {

// The fixed regional settings the tool works with, whatever the user's locale.
void useToolRegionalSettings();

// The value of field `f` in a record buffer, as UTF-8 text.
std::string valueAsCsvText(const uint8_t* buffer, const TZerovField& f);

// Puts the value a UTF-8 text denotes into the field's (empty) slot of a record buffer. An
// empty text leaves the value empty. Raises ToolError naming `line` and the field for a text
// that is not a value of the field (not a number, too long, a character Windows-1252 lacks).
void valueFromCsvText(uint8_t* buffer, const TZerovField& f, std::string_view text, int line);

} // namespace cibrano::tool

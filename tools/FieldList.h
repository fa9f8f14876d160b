#pragma once
// The field definitions of a new table as given on the command line:
// "Name:type[:size],..." with the types string, smallint, integer, word, boolean, float,
// currency, date, time, datetime, autoinc, blob, memo, fmtmemo and graphic.

#include "engine/ZerovTbl.h"

#include <string>
#include <string_view>
#include <vector>

namespace cibrano::tool {

// The food table's seven fields: Gruppo (text 30), Nome (text 50) and five floats.
std::vector<FieldDescription> foodTableFields();

// Parses a UTF-8 definition list; raises ToolError for anything it cannot take.
std::vector<FieldDescription> parseFieldList(std::string_view list);

// The type word of a stored field, as parseFieldList takes it ("unknown" for none).
std::string typeWordOfKind(uint8_t storageKind);

} // namespace cibrano::tool

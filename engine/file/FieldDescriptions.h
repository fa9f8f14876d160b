#pragma once
// The field description section of a new table, built from field definitions, and the image of
// a new empty table; and the field type a stored field offers to the dataset.

#include "dataset/FieldTypes.h"
#include "platform/AnsiString.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace cibrano {

class TStream;
struct TZerovField;

// What a new table's field is made from: a name, a field type and, for texts, a size.
struct FieldDescription {
    AnsiString name;
    TFieldType type = ftUnknown;
    int size = 0;
};

// The type letter of a description entry, with the declared size after s for a text longer
// than 35 characters: "i", "U" (a text of 30), "s50", "s" (types without a letter of their own).
AnsiString fieldTypeCode(TFieldType type, int size);

// The description section: per field "XXX." + name (blanks made "_") + " " + type code + 0x12,
// then 0x14. Raises EDatabaseError for a field the section cannot describe (a name holding the
// separator byte, a text size below 0 or above 32767).
AnsiString buildDescriptionSection(const std::vector<FieldDescription>& fields);

// Writes the image of a new empty table at the stream's position (plain, no records) and
// answers its length.
size_t writeNewTableImage(TStream& stream, const std::vector<FieldDescription>& fields);

// Records may be at most this wide: the dataset addresses record images with 16 bits.
inline constexpr int kMaxRecordBufferSize = 0xFFFF;

// The store's field one description entry (alias "." name " " type letter [size], without the
// separator) describes, its slot not placed yet; none for an entry that names no type.
std::unique_ptr<TZerovField> makeField(std::string_view entry);

// The field type a stored field of that storage kind offers (ftWord comes back as ftSmallint).
TFieldType fieldTypeOfKind(uint8_t storageKind);

} // namespace cibrano

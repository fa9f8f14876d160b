#pragma once
// One field of a table as the record store keeps it, and the layout of its slot in a record
// buffer.

#include "platform/AnsiString.h"

#include <cstdint>

namespace cibrano {

// How a field's value is stored; the numbers are those of the file format's type letters.
enum StorageKind : uint8_t {
    kindUnknown = 0,
    kindSmallint = 1, // l: int16
    kindInteger = 2,  // i: int32
    kindBoolean = 3,  // b: int16, 0 false
    kindFloat = 4,    // f: double
    kindCurrency = 5, // c: double
    kindDate = 6,     // d: int32 day number, 0001-01-01 = 1
    kindTime = 7,     // v: int32 milliseconds of the day
    kindDateTime = 8, // t: double, day number * 86400000 + milliseconds
    kindAutoInc = 9,  // a: int32
    kindFixedText = 10, // 0-9, A-Z: declaredSize + 1 bytes, NUL-terminated
    kindText = 11,      // s: reference to a NUL-terminated text, null = empty
    kindBlob = 12,      // o: reference + int32 length
    kindMemo = 13,      // m
    kindFmtMemo = 14,   // r
    kindGraphic = 15,   // g
};

// Slot sizes of the reference kinds in memory (a native pointer, plus the length for BLOBs).
inline constexpr uint16_t kTextSlotSize = sizeof(char*);
inline constexpr uint16_t kBlobSlotSize = sizeof(uint8_t*) + sizeof(int32_t);

inline bool isTextRefKind(uint8_t kind) { return kind == kindText; }
inline bool isBlobKind(uint8_t kind) {
    return kind == kindBlob || kind == kindMemo || kind == kindFmtMemo || kind == kindGraphic;
}

struct TZerovField {
    AnsiString fieldName;
    AnsiString tableAlias = "XXX";
    uint16_t dataSize = 0;    // bytes of the slot in the record buffer
    int16_t declaredSize = 0; // fixed text length, the size after s (100 when none), else 0
    int32_t slotOffset = 0;
    uint8_t storageKind = kindUnknown;
    uint8_t isNumeric = 0; // 1 for the kinds a, c, f, i, l
};

} // namespace cibrano

#include <vector>

namespace cibrano {
// An ordered list of store fields (key fields, the store's field list); not owning.
using ZerovFieldList = std::vector<TZerovField*>;
} // namespace cibrano

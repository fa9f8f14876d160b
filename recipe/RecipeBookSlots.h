#pragma once
// Reading values straight from the stored records of a table, by the slot a field has there:
// the recipe book and its loading walk a table's records in stored order this way, without
// moving a dataset over them.

#include "engine/record/RecordEntry.h"
#include "engine/record/ZerovField.h"
#include "platform/AnsiString.h"
#include "platform/DateTime.h"

#include <cstring>
#include <string_view>

namespace cibrano {

// A text field's value: a fixed text inside the slot, or the text the slot refers to.
inline std::string_view slotText(const uint8_t* data, const TZerovField& f) {
    const uint8_t* slot = slotOf(data, f);
    if (f.storageKind == kindText) {
        const char* p = textRefAt(slot);
        return p ? std::string_view(p) : std::string_view();
    }
    if (f.storageKind == kindFixedText) {
        const char* p = reinterpret_cast<const char*>(slot);
        return std::string_view(p, ::strnlen(p, f.dataSize));
    }
    return std::string_view();
}

// A number field's value as a double; 0 for other kinds.
inline double slotNumber(const uint8_t* data, const TZerovField& f) {
    const uint8_t* slot = slotOf(data, f);
    switch (f.storageKind) {
    case kindFloat:
    case kindCurrency:
        return readSlot<double>(slot);
    case kindInteger:
    case kindAutoInc:
        return readSlot<int32_t>(slot);
    case kindSmallint:
        return readSlot<int16_t>(slot);
    default:
        return 0;
    }
}

inline int32_t slotInteger(const uint8_t* data, const TZerovField& f) {
    switch (f.storageKind) {
    case kindInteger:
    case kindAutoInc:
        return readSlot<int32_t>(slotOf(data, f));
    case kindSmallint:
        return readSlot<int16_t>(slotOf(data, f));
    default:
        return 0;
    }
}

// A memo's text.
inline AnsiString slotBlobText(const uint8_t* data, const TZerovField& f) {
    if (!isBlobKind(f.storageKind))
        return AnsiString();
    const uint8_t* slot = slotOf(data, f);
    const uint8_t* p = blobRefAt(slot);
    const int32_t n = blobLengthAt(slot);
    return p && n > 0 ? AnsiString(reinterpret_cast<const char*>(p), static_cast<size_t>(n))
                      : AnsiString();
}

// A date-time field's value; 0 when empty or not a calendar moment.
inline TDateTime slotDateTime(const uint8_t* data, const TZerovField& f) {
    TDateTime value = 0;
    if (f.storageKind != kindDateTime ||
        !dateTimeFromMilliseconds(readSlot<double>(slotOf(data, f)), value))
        return 0;
    return value;
}

} // namespace cibrano

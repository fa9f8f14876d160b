#pragma once
// Reading a table's stored records in place: the values of its fields straight from the record
// memory, every live record in stored order, whatever the dataset's view (filter, range,
// order) shows, and without moving the dataset over them. A walk of thousands of rows through
// the dataset would fetch, copy and notify for every one; the recipe logic walks the food table
// and the book's tables this way.
//
// A value reads as its field reads it: a text by the rules of StoredTextSlot (a text longer
// than the field's size is cut to it, a fixed-length text field drops its trailing blanks; a
// null text reads empty), a number as a double from any number kind, a whole number from the
// integer kinds, a memo as its text, a date-time as a calendar moment (0 when empty). A value
// of another kind reads as empty or 0.

#include "engine/record/RecordEntry.h"
#include "engine/table/DOvuzaZerivir.h"
#include "engine/table/StoredText.h"
#include "platform/AnsiString.h"
#include "platform/DateTime.h"

#include <cstdint>
#include <string_view>

namespace cibrano {

class TField;

class StoredField {
public:
    StoredField() = default;
    // The slot `field` (a field of `table`) has in the table's stored records; none when the
    // table stores no value of it.
    StoredField(const DOvuzaZerivir& table, const TField* field);

    explicit operator bool() const { return slot_ != nullptr; }
    // The storage kind of the slot (StorageKind); kindUnknown for none.
    uint8_t storageKind() const;

    std::string_view text(const uint8_t* record) const;
    double number(const uint8_t* record) const;
    int32_t integer(const uint8_t* record) const;
    AnsiString memo(const uint8_t* record) const;
    TDateTime dateTime(const uint8_t* record) const;

private:
    const TZerovField* slot_ = nullptr;
    StoredTextSlot text_;
};

// Calls `visit(const RecordEntry&)` for every live record `table` stores, in stored order.
template <typename Visit> void forEachStoredRecord(const DOvuzaZerivir& table, Visit&& visit) {
    for (const RecordEntry* e : table.store()->entries())
        if (e->isLive() && e->data)
            visit(*e);
}

} // namespace cibrano

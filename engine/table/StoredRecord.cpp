#include "engine/table/StoredRecord.h"

#include "dataset/StringField.h"

#include <limits>

namespace cibrano {

StoredField::StoredField(const DOvuzaZerivir& table, const TField* field) {
    slot_ = field ? table.storedField(field) : nullptr;
    if (!slot_ || (slot_->storageKind != kindText && slot_->storageKind != kindFixedText))
        return;
    const auto* text = dynamic_cast<const TStringField*>(field);
    text_ = {slot_,
             text && text->Size() >= 0 ? static_cast<size_t>(text->Size())
                                       : std::numeric_limits<size_t>::max(),
             text && text->FixedChar()};
}

uint8_t StoredField::storageKind() const {
    return slot_ ? slot_->storageKind : static_cast<uint8_t>(kindUnknown);
}

std::string_view StoredField::text(const uint8_t* record) const {
    std::string_view value;
    if (!text_ || !text_.read(record, value))
        return std::string_view();
    return value;
}

double StoredField::number(const uint8_t* record) const {
    if (slot_ && (slot_->storageKind == kindFloat || slot_->storageKind == kindCurrency))
        return readSlot<double>(slotOf(record, *slot_));
    return integer(record);
}

int32_t StoredField::integer(const uint8_t* record) const {
    if (!slot_)
        return 0;
    const uint8_t* at = slotOf(record, *slot_);
    switch (slot_->storageKind) {
    case kindInteger:
    case kindAutoInc:
        return readSlot<int32_t>(at);
    case kindSmallint:
        return readSlot<int16_t>(at);
    default:
        return 0;
    }
}

AnsiString StoredField::memo(const uint8_t* record) const {
    if (!slot_ || !isBlobKind(slot_->storageKind))
        return AnsiString();
    const uint8_t* at = slotOf(record, *slot_);
    const uint8_t* bytes = blobRefAt(at);
    const int32_t n = blobLengthAt(at);
    return bytes && n > 0 ? AnsiString(reinterpret_cast<const char*>(bytes), static_cast<size_t>(n))
                          : AnsiString();
}

TDateTime StoredField::dateTime(const uint8_t* record) const {
    TDateTime value = 0;
    if (!slot_ || slot_->storageKind != kindDateTime ||
        !dateTimeFromMilliseconds(readSlot<double>(slotOf(record, *slot_)), value))
        return 0;
    return value;
}

} // namespace cibrano

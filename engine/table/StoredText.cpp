#include "engine/table/StoredText.h"

#include "dataset/StringField.h"
#include "engine/record/RecordEntry.h"
#include "engine/table/DOvuzaZerivir.h"
#include "engine/table/ZerovTable.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

namespace cibrano {

bool StoredTextSlot::read(const uint8_t* record, std::string_view& text) const {
    const uint8_t* at = slotOf(record, *slot);
    const char* bytes;
    size_t limit = fieldSize;
    if (slot->storageKind == kindText) {
        bytes = textRefAt(at);
        if (!bytes)
            return false;
    } else {
        // A fixed-length text reads as null only when its whole slot is zero; its text ends at
        // the first zero byte, and at most at the slot's end.
        if (std::all_of(at, at + slot->dataSize, [](uint8_t b) { return b == 0; }))
            return false;
        bytes = reinterpret_cast<const char*>(at);
        limit = std::min<size_t>(limit, slot->dataSize);
    }
    size_t n = strnlen(bytes, limit);
    if (trimTrailingBlanks)
        while (n > 0 && bytes[n - 1] == ' ')
            --n;
    text = std::string_view(bytes, n);
    return true;
}

StoredTextSlot storedTextSlot(const TDataSet* dataSet, const TField* field) {
    if (!dataSet || !field || field->DataSet() != dataSet || field->validating())
        return {};
    // Classes of the application's may read or translate a value in a way of their own.
    const std::type_info& dataSetClass = typeid(*dataSet);
    if (dataSetClass != typeid(TZerovTable) && dataSetClass != typeid(DOvuzaZerivir))
        return {};
    if (typeid(*field) != typeid(TStringField) || field->Size() < 0)
        return {};
    const TZerovField* slot = static_cast<const DOvuzaZerivir*>(dataSet)->storedField(field);
    if (!slot || (slot->storageKind != kindText && slot->storageKind != kindFixedText))
        return {};
    return {slot, static_cast<size_t>(field->Size()),
            static_cast<const TStringField*>(field)->FixedChar()};
}

bool candidateTextInPlace(const TDataSet* dataSet, const TField* field, std::string_view& text) {
    if (!dataSet || dataSet->State() != stateFilter)
        return false;
    const StoredTextSlot slot = storedTextSlot(dataSet, field);
    if (!slot)
        return false;
    const auto* table = static_cast<const DOvuzaZerivir*>(dataSet);
    const RecordEntry* candidate = table->candidateRecord();
    if (!candidate || !candidate->data || !table->store())
        return false;
    if (!slot.read(candidate->data, text))
        text = std::string_view();
    return true;
}

} // namespace cibrano

#include "engine/table/DOvuzaZerivir.h"

#include "dataset/Field.h"

#include <algorithm>
#include <cstring>

// Reading field values: which buffer a read reaches in each state, and the value's bytes and
// null rule.

namespace cibrano {

bool DOvuzaZerivir::fillsWindowBuffer() const {
    switch (State()) {
    case stateSetKey:
    case stateFilter:
        return false;
    case stateOldValue: {
        const RecordEntry* e = entryOf(activeBuffer());
        return !(e && e->backup);
    }
    default:
        return true;
    }
}

uint8_t* DOvuzaZerivir::valueBuffer() const {
    switch (State()) {
    case stateBrowse:
    case stateBlockRead:
        return hasNoRecords() ? nullptr : activeBuffer();
    case stateEdit:
    case stateInsert:
    case stateNewValue:
        return activeBuffer();
    case stateSetKey:
        return keyBeingFilled_ ? keyBeingFilled_->image() : nullptr;
    case stateCalcFields:
        return calculatedBuffer();
    case stateFilter:
        return candidate_ ? candidate_->data : nullptr;
    case stateOldValue: {
        const RecordEntry* e = entryOf(activeBuffer());
        return e && e->backup ? e->backup : activeBuffer();
    }
    default:
        return nullptr;
    }
}

TZerovField* DOvuzaZerivir::layoutField(const TField* field) const {
    const int n = field->FieldNo();
    if (n < 1 || n > static_cast<int>(layout_.size()))
        return nullptr;
    return const_cast<TZerovField*>(&layout_[static_cast<size_t>(n - 1)]);
}

const TZerovField* DOvuzaZerivir::storedField(const TField* field) const {
    return field && field->DataSet() == this && field->FieldNo() > 0 ? layoutField(field) : nullptr;
}

namespace {

// Whether a value whose bytes are all zero reads as a value (0, false, midnight) rather than
// as no value, for a field of that type.
bool zeroIsAValue(TFieldType type) {
    switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftBoolean:
    case ftFloat:
    case ftCurrency:
    case ftTime:
    case ftAutoInc:
        return true;
    default:
        return false;
    }
}

// A fixed-size slot read whole, with one zero test for the lot.
template <typename Word> bool readWord(const uint8_t* slot, void* destination, TFieldType type) {
    Word value;
    std::memcpy(&value, slot, sizeof value);
    if (destination)
        std::memcpy(destination, &value, sizeof value);
    return value != 0 || zeroIsAValue(type);
}

} // namespace

bool DOvuzaZerivir::readFieldValue(TField* field, void* destination) {
    const DatasetState state = State();
    // The record browsed, the commonest read, without the round of valueBuffer's cases.
    const uint8_t* source =
        state == stateBrowse ? (hasNoRecords() ? nullptr : activeBuffer()) : valueBuffer();
    if (!source || !store_)
        return false;
    const int number = field->FieldNo();
    const TZerovField* f = number >= 1 && number <= static_cast<int>(layout_.size())
                               ? &layout_[static_cast<size_t>(number - 1)]
                               : nullptr;
    if (f && (state == stateFilter || state == stateInsert || recordCount() > 0)) {
        // Numbers, dates and times, read whenever the totals are computed or a filter tests a
        // quantity: one word copied when the field takes the slot's size.
        const uint8_t* slot = slotOf(source, *f);
        switch (f->storageKind) {
        case kindFloat:
        case kindCurrency:
        case kindDateTime:
            if (f->dataSize == 8 && field->dataSize() == 8)
                return readWord<uint64_t>(slot, destination, field->DataType());
            break;
        case kindInteger:
        case kindDate:
        case kindTime:
        case kindAutoInc:
            if (f->dataSize == 4 && field->dataSize() == 4)
                return readWord<uint32_t>(slot, destination, field->DataType());
            break;
        case kindSmallint:
        case kindBoolean:
            if (f->dataSize == 2 && field->dataSize() == 2)
                return readWord<uint16_t>(slot, destination, field->DataType());
            break;
        default:
            break;
        }
    }

    const int size = std::max(field->dataSize(), 0);
    if (destination)
        std::memset(destination, 0, static_cast<size_t>(size));

    if (field->FieldNo() <= 0) {
        // Calculated values live only in the dataset's own buffers; a stored record or a
        // key image has no calculated area.
        if (!fillsWindowBuffer())
            return false;
        const uint8_t* slot = source + recordImageSize_ + field->offset();
        if (!slot[0])
            return false;
        if (destination)
            std::memcpy(destination, slot + 1, static_cast<size_t>(size));
        return true;
    }

    if (recordCount() == 0 && State() != stateInsert && State() != stateFilter)
        return false;
    if (!f)
        return false;
    const uint8_t* slot = slotOf(source, *f);
    if (isBlobKind(f->storageKind))
        return blobRefAt(slot) && blobLengthAt(slot) > 0;
    if (f->storageKind == kindText) {
        const char* text = textRefAt(slot);
        if (!text)
            return false;
        if (destination && size > 0)
            std::memcpy(destination, text, strnlen(text, static_cast<size_t>(size) - 1));
        return true;
    }
    const size_t n = std::min(static_cast<size_t>(size), static_cast<size_t>(f->dataSize));
    bool allZero = true;
    for (size_t i = 0; i < f->dataSize; ++i)
        if (slot[i]) {
            allZero = false;
            break;
        }
    if (allZero)
        return zeroIsAValue(field->DataType());
    if (destination) {
        std::memcpy(destination, slot, n);
        // A text field shorter than the stored slot still ends its text.
        if (f->storageKind == kindFixedText && n > 0 && n < f->dataSize)
            static_cast<uint8_t*>(destination)[n - 1] = 0;
    }
    return true;
}

} // namespace cibrano

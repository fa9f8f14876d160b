#include "engine/sort/KeyBuffer.h"

#include "engine/record/FieldValues.h"
#include "engine/record/RecordEntry.h"

#include <algorithm>
#include <cstring>

namespace cibrano {

KeyBuffer::KeyBuffer(TKeyIndex kind, int imageSize)
    : kind_(kind), imageSize_(imageSize > 0 ? imageSize : 0),
      image_(new uint8_t[static_cast<size_t>(imageSize_) + 1]()) {}

KeyBuffer::~KeyBuffer() {
    delete[] image_;
}

void KeyBuffer::releaseValues(const std::vector<TZerovField>& layout) {
    releaseImageValues(image_, layout);
    std::memset(image_, 0, static_cast<size_t>(imageSize_));
}

ZerovFieldList KeyBuffer::storeFields() const {
    ZerovFieldList list;
    list.reserve(fields.size());
    for (const KeyField& k : fields)
        list.push_back(const_cast<TZerovField*>(k.field));
    return list;
}

void releaseImageValues(uint8_t* image, const std::vector<TZerovField>& layout) {
    if (!image)
        return;
    for (const TZerovField& f : layout)
        releaseSlotValue(slotOf(image, f), f);
}

namespace {

size_t textLengthAt(const uint8_t* slot, const TZerovField& f) {
    if (f.storageKind == kindText) {
        const char* text = textRefAt(slot);
        return text ? std::strlen(text) : 0;
    }
    return strnlen(reinterpret_cast<const char*>(slot), f.dataSize);
}

int sign(int r) {
    return (r > 0) - (r < 0);
}

} // namespace

int compareKeyValues(const uint8_t* a, const uint8_t* b, const std::vector<KeyField>& fields,
                     int count, bool caseInsensitive) {
    const size_t n =
        count < 0 ? fields.size() : std::min(fields.size(), static_cast<size_t>(count));
    for (size_t i = 0; i < n; ++i) {
        const KeyField& k = fields[i];
        const TZerovField& f = *k.field;
        const uint8_t* sa = slotOf(a, f);
        const uint8_t* sb = slotOf(b, f);
        if (k.rightJustified && (f.storageKind == kindFixedText || f.storageKind == kindText)) {
            // Right-justified texts line up on their last character: a shorter one is the
            // smaller, as with numbers written in text.
            size_t la = textLengthAt(sa, f);
            size_t lb = textLengthAt(sb, f);
            if (la != lb)
                return la < lb ? -1 : 1;
        }
        int r = sign(compareFieldValues(sa, sb, f, caseInsensitive));
        if (r != 0)
            return r;
    }
    return 0;
}

} // namespace cibrano

#include "engine/KeyBuffer.h"

#include "engine/ZerovCursor.h"

#include <cstring>

namespace cibrano {

KeyBuffer::KeyBuffer(TKeyIndex kind, int imageSize)
    : kind_(kind), imageSize_(imageSize > 0 ? imageSize : 0),
      image_(new uint8_t[static_cast<size_t>(imageSize_) + 1]()) {}

KeyBuffer::~KeyBuffer() {
    delete[] image_;
}

void KeyBuffer::releaseValues(const TZerovCursor& store) {
    store.freeRecordValues(image_);
    zeroImage();
}

void KeyBuffer::zeroImage() {
    std::memset(image_, 0, static_cast<size_t>(imageSize_));
}

ZerovFieldList KeyBuffer::storeFields() const {
    ZerovFieldList list;
    for (const KeyField& k : fields)
        list.push_back(const_cast<TZerovField*>(k.field));
    return list;
}

int compareKeyValues(const uint8_t*, const uint8_t*, const std::vector<KeyField>&, int, bool) {
    return 0;
}

} // namespace cibrano

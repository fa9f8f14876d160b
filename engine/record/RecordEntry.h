#pragma once
// One stored record and the access to the values referenced from record-buffer slots.
//
// Memory convention (every part of the engine follows it):
// - record buffers are `new uint8_t[size]()` blocks, released with delete[];
// - a kind-s slot holds a `char*` to a NUL-terminated `new char[]` block, or null;
// - a BLOB slot (kinds o, m, r, g) holds a `uint8_t*` to a `new uint8_t[]` block, or null,
//   followed by its int32 length.
// - except in a pooled record (`pooled`): a record read from a table has its buffer and the
//   texts and BLOBs it refers to in the store's RecordPool, freed with the pool only. Its
//   values are never written in place: the store gives it a buffer of its own first
//   (RecordStore::ownRecordData).
// Slots may be unaligned: always go through these helpers (memcpy).

#include "engine/record/RecordPool.h"
#include "engine/record/ZerovField.h"

#include <cstdint>
#include <cstring>

namespace cibrano {

enum RecordStatus : uint8_t { recUnchanged, recModified, recInserted, recDeleted, recRemoved };

struct RecordEntry {
    uint8_t* data = nullptr;
    uint8_t* backup = nullptr;
    intptr_t userData = 0;
    RecordStatus status = recUnchanged;
    // Whether `data` and what it refers to live in the store's pool.
    bool pooled = false;

    bool isLive() const {
        return status == recUnchanged || status == recModified || status == recInserted;
    }
};

inline uint8_t* slotOf(uint8_t* buffer, const TZerovField& f) {
    return buffer + f.slotOffset;
}
inline const uint8_t* slotOf(const uint8_t* buffer, const TZerovField& f) {
    return buffer + f.slotOffset;
}

inline char* textRefAt(const uint8_t* slot) {
    char* p;
    std::memcpy(&p, slot, sizeof p);
    return p;
}
inline void setTextRef(uint8_t* slot, char* p) {
    std::memcpy(slot, &p, sizeof p);
}

inline uint8_t* blobRefAt(const uint8_t* slot) {
    uint8_t* p;
    std::memcpy(&p, slot, sizeof p);
    return p;
}
inline int32_t blobLengthAt(const uint8_t* slot) {
    int32_t n;
    std::memcpy(&n, slot + sizeof(uint8_t*), sizeof n);
    return n;
}
inline void setBlobRef(uint8_t* slot, uint8_t* p, int32_t length) {
    std::memcpy(slot, &p, sizeof p);
    std::memcpy(slot + sizeof(uint8_t*), &length, sizeof length);
}

template <typename T> T readSlot(const uint8_t* slot) {
    T v;
    std::memcpy(&v, slot, sizeof v);
    return v;
}
template <typename T> void writeSlot(uint8_t* slot, T v) {
    std::memcpy(slot, &v, sizeof v);
}

// Releases the memory a slot refers to (kinds s, o, m, r, g) and clears the reference.
inline void releaseSlotValue(uint8_t* slot, const TZerovField& f) {
    if (isTextRefKind(f.storageKind)) {
        releaseText(textRefAt(slot));
        setTextRef(slot, nullptr);
    } else if (isBlobKind(f.storageKind)) {
        releaseBlob(blobRefAt(slot));
        setBlobRef(slot, nullptr, 0);
    }
}

} // namespace cibrano

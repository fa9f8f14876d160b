#pragma once
// Helpers for the record store tests: stores made from field definitions, values put into
// record buffers, golden files read.

#include "engine/file/FieldDescriptions.h"
#include "engine/file/ZerovCursor.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "tests/platform/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace cibrano::testing {

inline std::string goldenBytes(const char* name) {
    auto bytes = readWholeFile(std::string(CIBRANO_TEST_DATA_DIR) + "/" + name);
    EXPECT_TRUE(bytes.has_value()) << name;
    return bytes.value_or("");
}

// Opens `fields` as a new empty table in `store`.
inline void openNewTable(TZerovCursor& store, const std::vector<FieldDescription>& fields) {
    TMemoryStream image;
    writeNewTableImage(image, fields);
    image.setPosition(0);
    AnsiString message;
    ASSERT_TRUE(store.readTableImage(image, message)) << message;
    ASSERT_EQ(message, "");
}

// Reads an image from bytes; answers success, with the message in `message`.
inline bool readImage(TZerovCursor& store, std::string_view bytes, AnsiString& message) {
    TMemoryStream stream(bytes);
    return store.readTableImage(stream, message);
}

inline std::string writeImage(TZerovCursor& store) {
    TMemoryStream stream;
    size_t n = store.writeTableImage(stream);
    EXPECT_EQ(n, stream.size());
    return std::string(stream.bytes());
}

// A record buffer of the store's size that releases its values and itself.
class Buffer {
public:
    explicit Buffer(const TZerovCursor& store) : store_(store), data_(store.newRecordBuffer()) {}
    ~Buffer() { store_.freeRecordValues(data_.get()); }
    uint8_t* get() const { return data_.get(); }
    uint8_t* slot(const char* field) const {
        const TZerovField* f = store_.findField(field);
        EXPECT_NE(f, nullptr) << field;
        return slotOf(data_.get(), *f);
    }
    template <typename T> Buffer& set(const char* field, T value) {
        writeSlot<T>(slot(field), value);
        return *this;
    }
    Buffer& text(const char* field, const std::string& value) {
        const TZerovField* f = store_.findField(field);
        uint8_t* s = slot(field);
        if (f->storageKind == kindText) {
            delete[] textRefAt(s);
            char* copy = new char[value.size() + 1];
            std::memcpy(copy, value.c_str(), value.size() + 1);
            setTextRef(s, copy);
        } else if (isBlobKind(f->storageKind)) {
            delete[] blobRefAt(s);
            auto* copy = new uint8_t[value.size()];
            std::memcpy(copy, value.data(), value.size());
            setBlobRef(s, copy, static_cast<int32_t>(value.size()));
        } else {
            std::memset(s, 0, f->dataSize);
            std::memcpy(s, value.data(), std::min<size_t>(value.size(), f->dataSize - 1u));
        }
        return *this;
    }

private:
    const TZerovCursor& store_;
    std::unique_ptr<uint8_t[]> data_;
};

// Reading values back from stored records.
inline std::string textOf(const TZerovCursor& store, const RecordEntry* e, const char* field) {
    const TZerovField* f = store.findField(field);
    const uint8_t* s = slotOf(e->data, *f);
    if (f->storageKind == kindText) {
        const char* t = textRefAt(s);
        return t ? t : "";
    }
    if (isBlobKind(f->storageKind)) {
        const uint8_t* b = blobRefAt(s);
        return b ? std::string(reinterpret_cast<const char*>(b), blobLengthAt(s)) : "";
    }
    return std::string(reinterpret_cast<const char*>(s));
}

template <typename T>
T valueOf(const TZerovCursor& store, const RecordEntry* e, const char* field) {
    return readSlot<T>(slotOf(e->data, *store.findField(field)));
}

inline int32_t int32At(std::string_view bytes, size_t offset) {
    int32_t v;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

using testkit::TempDir;

} // namespace cibrano::testing

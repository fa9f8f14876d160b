#pragma once
// Byte streams: the base every stream derives from, the memory stream that table images are
// read from and built in, and a write-only file stream that replaces its file atomically.

#include "platform/DatabaseError.h"
#include "platform/Files.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cibrano {

// A read or write that a stream cannot carry out in full.
class EStreamError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to `count` bytes at the position and moves past them; answers how many were read.
    virtual size_t read(void* buffer, size_t count) = 0;
    // Writes `count` bytes at the position and moves past them; answers how many were written.
    virtual size_t write(const void* buffer, size_t count) = 0;
    virtual size_t position() const = 0;
    // A position past the end is allowed: a write there fills the gap with zeros.
    virtual void setPosition(size_t position) = 0;
    virtual size_t size() const = 0;

    size_t remaining() const {
        size_t p = position(), s = size();
        return p < s ? s - p : 0;
    }

    // Exactly `count` bytes, or EStreamError (the position is then unspecified).
    void readBuffer(void* buffer, size_t count);
    void writeBuffer(const void* buffer, size_t count);

    // Little-endian integers, as every integer in the engine's files is stored.
    uint8_t readUInt8();
    int16_t readInt16();
    int32_t readInt32();
    void writeUInt8(uint8_t value);
    void writeInt16(int16_t value);
    void writeInt32(int32_t value);
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string_view bytes);

    size_t read(void* buffer, size_t count) override;
    size_t write(const void* buffer, size_t count) override;
    size_t position() const override { return position_; }
    void setPosition(size_t position) override { position_ = position; }
    size_t size() const override { return data_.size(); }

    // The bytes themselves, for work in place (deciphering); valid until the size changes.
    uint8_t* memory() { return data_.data(); }
    const uint8_t* memory() const { return data_.data(); }
    std::string_view bytes() const {
        return {reinterpret_cast<const char*>(data_.data()), data_.size()};
    }

    // New bytes are zero; the position is kept (it may end up past the end).
    void setSize(size_t size) { data_.resize(size); }
    // Room for `capacity` bytes without moving them; the size does not change.
    void reserve(size_t capacity) { data_.reserve(capacity); }
    // Empty, position 0.
    void clear();

    // The whole file in place of the stream's bytes, position 0; false (stream unchanged) with
    // the system's reason in `error` when the file cannot be read.
    bool loadFromFile(const std::string& path, std::string* error = nullptr);
    // Replaces the file with the stream's bytes (atomically; EDatabaseError on failure).
    void saveToFile(const std::string& path) const;

private:
    std::vector<uint8_t> data_;
    size_t position_ = 0;
};

// A write-only stream into a new version of a file. The bytes go to a temporary file beside
// the target; commit() puts it in place of the target. Destroyed without commit(), the target
// is untouched and the temporary file removed. Writes are gathered in memory and handed to the
// file in large pieces.
class TAtomicFileStream : public TStream {
public:
    explicit TAtomicFileStream(const std::string& path);
    ~TAtomicFileStream() override;

    // Always 0: the stream cannot be read.
    size_t read(void* buffer, size_t count) override;
    size_t write(const void* buffer, size_t count) override;
    size_t position() const override { return position_; }
    void setPosition(size_t position) override { position_ = position; }
    size_t size() const override;

    void commit();

private:
    void flush();

    AtomicFileWriter writer_;
    std::vector<uint8_t> pending_; // bytes from pendingStart_ not yet handed to the file
    size_t pendingStart_ = 0;
    size_t position_ = 0;
};

} // namespace cibrano

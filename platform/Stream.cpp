#include "platform/Stream.h"

#include <algorithm>
#include <cstring>

namespace cibrano {

namespace {
constexpr size_t kFileChunk = 64 * 1024;
}

void TStream::readBuffer(void* buffer, size_t count) {
    if (count > 0 && read(buffer, count) != count)
        throw EStreamError("Stream read error");
}

void TStream::writeBuffer(const void* buffer, size_t count) {
    if (count > 0 && write(buffer, count) != count)
        throw EStreamError("Stream write error");
}

uint8_t TStream::readUInt8() {
    uint8_t b;
    readBuffer(&b, 1);
    return b;
}

int16_t TStream::readInt16() {
    uint8_t b[2];
    readBuffer(b, 2);
    return static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
}

int32_t TStream::readInt32() {
    uint8_t b[4];
    readBuffer(b, 4);
    uint32_t v =
        uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
    return static_cast<int32_t>(v);
}

void TStream::writeUInt8(uint8_t value) {
    writeBuffer(&value, 1);
}

void TStream::writeInt16(int16_t value) {
    auto v = static_cast<uint16_t>(value);
    uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    writeBuffer(b, 2);
}

void TStream::writeInt32(int32_t value) {
    auto v = static_cast<uint32_t>(value);
    uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                    static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    writeBuffer(b, 4);
}

TMemoryStream::TMemoryStream(std::string_view bytes) : data_(bytes.begin(), bytes.end()) {}

size_t TMemoryStream::read(void* buffer, size_t count) {
    if (position_ >= data_.size())
        return 0;
    size_t n = std::min(count, data_.size() - position_);
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return n;
}

size_t TMemoryStream::write(const void* buffer, size_t count) {
    if (count == 0)
        return 0;
    size_t end = position_ + count;
    if (end < position_)
        throw EStreamError("Stream write error");
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    if (position_ == data_.size()) {
        // Appending: one copy, without clearing the new room first.
        data_.insert(data_.end(), bytes, bytes + count);
    } else {
        if (end > data_.size())
            data_.resize(end);
        std::memcpy(data_.data() + position_, bytes, count);
    }
    position_ = end;
    return count;
}

void TMemoryStream::clear() {
    data_.clear();
    position_ = 0;
}

bool TMemoryStream::loadFromFile(const std::string& path, std::string* error) {
    auto bytes = readWholeFile(path, error);
    if (!bytes)
        return false;
    data_.assign(bytes->begin(), bytes->end());
    position_ = 0;
    return true;
}

void TMemoryStream::saveToFile(const std::string& path) const {
    writeFileAtomically(path, bytes());
}

TAtomicFileStream::TAtomicFileStream(const std::string& path) : writer_(path) {
    pending_.reserve(kFileChunk);
}

TAtomicFileStream::~TAtomicFileStream() = default;

size_t TAtomicFileStream::read(void*, size_t) {
    return 0;
}

size_t TAtomicFileStream::write(const void* buffer, size_t count) {
    if (count == 0)
        return 0;
    // Appending right after the gathered bytes extends them; anything else (a write back into
    // the header, a jump ahead) goes to the file directly after the gathered bytes.
    if (position_ != pendingStart_ + pending_.size()) {
        flush();
        if (count < kFileChunk) {
            pendingStart_ = position_;
        } else {
            writer_.writeAt(position_, buffer, count);
            position_ += count;
            pendingStart_ = position_;
            return count;
        }
    }
    auto p = static_cast<const uint8_t*>(buffer);
    pending_.insert(pending_.end(), p, p + count);
    position_ += count;
    if (pending_.size() >= kFileChunk)
        flush();
    return count;
}

size_t TAtomicFileStream::size() const {
    return std::max(writer_.size(), pendingStart_ + pending_.size());
}

void TAtomicFileStream::flush() {
    if (!pending_.empty())
        writer_.writeAt(pendingStart_, pending_.data(), pending_.size());
    pendingStart_ += pending_.size();
    pending_.clear();
}

void TAtomicFileStream::commit() {
    flush();
    writer_.commit();
}

} // namespace cibrano

#pragma once
// The read position of the table image reader (TableImageReader.cpp) over the image's bytes:
// either the whole image in a memory stream, or a table file read a piece at a time, with the
// pieces of an enciphered body deciphered as they come in (TableFileReader.cpp). The reader
// asks for the bytes it is about to look at with need(); at() points at them until the next
// need().

#include "engine/file/Sapphire.h"
#include "engine/file/ZerovCursor.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cibrano {

// The header, the description section or the notes block is cut short or holds something
// that cannot be so ("Buffer structure corruption!").
struct CorruptImage {};

// The table file could not be read to its end (a read error, or the file shrank meanwhile).
struct UnreadableTableFile {
    std::string reason;
};

// A table file read a piece at a time into a window of bytes.
class TableFileSource {
public:
    // Opens the file; false (with the system's reason) when it cannot be opened or is not a
    // regular file, whose size could not be known beforehand.
    bool open(const std::string& path, std::string& reason);
    ~TableFileSource();

    // Bytes of the file not yet in the window.
    size_t unread() const { return unread_; }
    // Moves the window's last `keep` bytes (from `from`) to its front and reads more after
    // them, until it holds at least `n` bytes (at most what the file has left); answers the
    // window's start and its new length. Raises UnreadableTableFile.
    uint8_t* refill(const uint8_t* from, size_t keep, size_t n, size_t& length);
    // From now on, the bytes read are deciphered with `key` (the window's `count` bytes at
    // `pending`, not yet deciphered, first).
    void startDeciphering(std::string_view key, uint8_t* pending, size_t count);

private:
    int fd_ = -1;
    size_t unread_ = 0;
    std::vector<uint8_t> window_;
    std::unique_ptr<TSapphire> cipher_;
};

struct TZerovCursor::ImageReader {
    uint8_t* base = nullptr;
    size_t pos = 0;
    size_t end = 0;
    TableFileSource* file = nullptr;
    // Set where the stream's position is to follow the reader (after the records, or past an
    // error image).
    bool consumed = false;

    size_t inWindow() const { return pos < end ? end - pos : 0; }
    // The image's bytes from the read position to its end.
    size_t remaining() const { return inWindow() + (file ? file->unread() : 0); }
    // Makes `n` bytes available at at(); CorruptImage when the image has fewer.
    void need(size_t n) {
        if (inWindow() < n)
            more(n);
    }
    void more(size_t n) {
        if (!file || remaining() < n)
            throw CorruptImage{};
        size_t length = 0;
        base = file->refill(base + pos, inWindow(), n, length);
        pos = 0;
        end = length;
    }
    uint8_t* at() const { return base + pos; }
    uint8_t u8() {
        need(1);
        return base[pos++];
    }
    int32_t i32() {
        need(4);
        uint32_t v = uint32_t{base[pos]} | (uint32_t{base[pos + 1]} << 8) |
                     (uint32_t{base[pos + 2]} << 16) | (uint32_t{base[pos + 3]} << 24);
        pos += 4;
        return static_cast<int32_t>(v);
    }
    int16_t i16() {
        need(2);
        auto v = static_cast<uint16_t>(base[pos] | (base[pos + 1] << 8));
        pos += 2;
        return static_cast<int16_t>(v);
    }
    void skip(size_t n) {
        need(n);
        pos += n;
    }
};

} // namespace cibrano

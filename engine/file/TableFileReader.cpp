// Reading a table file a piece at a time: the records are made from each piece while it is
// fresh in the cache, and the file's bytes never need to be in memory all at once next to the
// records made from them.

#include "engine/file/ImageReader.h"
#include "engine/file/ZerovCursor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cibrano {

namespace {
// Bytes read at a time: large enough that the calls cost nothing next to deciphering, small
// enough to stay in the cache while the records are made from them.
constexpr size_t kPieceSize = size_t{256} << 10;
} // namespace

bool TableFileSource::open(const std::string& path, std::string& reason) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "Not a regular file";
        return false;
    }
    unread_ = static_cast<size_t>(st.st_size);
    return true;
}

TableFileSource::~TableFileSource() {
    if (fd_ >= 0)
        ::close(fd_);
    // The window may hold deciphered bytes of the table.
    if (cipher_ && !window_.empty())
        wipeSecret(window_.data(), window_.size());
}

uint8_t* TableFileSource::refill(const uint8_t* from, size_t keep, size_t n, size_t& length) {
    const size_t want = std::max(n, std::min(kPieceSize, keep + unread_));
    if (window_.size() < want) {
        std::vector<uint8_t> larger(want);
        if (keep > 0)
            std::memcpy(larger.data(), from, keep);
        if (cipher_ && !window_.empty())
            wipeSecret(window_.data(), window_.size());
        window_.swap(larger);
    } else if (keep > 0 && from != window_.data()) {
        std::memmove(window_.data(), from, keep);
    }
    size_t filled = keep;
    const size_t target = std::min(want, keep + unread_);
    while (filled < target) {
        const ssize_t got = ::read(fd_, window_.data() + filled, target - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw UnreadableTableFile{std::strerror(errno)};
        if (got == 0)
            throw UnreadableTableFile{"The file became shorter while it was being read"};
        if (cipher_)
            cipher_->decipher(window_.data() + filled, static_cast<size_t>(got));
        filled += static_cast<size_t>(got);
        unread_ -= static_cast<size_t>(got);
    }
    length = filled;
    return window_.data();
}

void TableFileSource::startDeciphering(std::string_view key, uint8_t* pending, size_t count) {
    cipher_ = std::make_unique<TSapphire>();
    cipher_->setKey(key);
    if (count > 0)
        cipher_->decipher(pending, count);
}

TZerovCursor::FileRead TZerovCursor::readTableFile(const std::string& path, AnsiString& message) {
    TableFileSource file;
    std::string reason;
    if (!file.open(path, reason)) {
        message = reason;
        return FileRead::unreadable;
    }
    return readTableFile(file, message);
}

TZerovCursor::FileRead TZerovCursor::readTableFile(TableFileSource& file, AnsiString& message) {
    message.clear();
    ImageReader in;
    in.file = &file;
    try {
        return readImage(in, message) ? FileRead::loaded : FileRead::refused;
    } catch (const UnreadableTableFile& failure) {
        // readImage has emptied the store on the way out.
        message = failure.reason;
        return FileRead::unreadable;
    }
}

} // namespace cibrano

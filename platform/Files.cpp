#include "platform/Files.h"

#include "platform/FileNameText.h"

#include "platform/DatabaseError.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace cibrano {

namespace fs = std::filesystem;

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::string> readWholeFile(const std::string& path, std::string* error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = std::strerror(errno);
        return std::nullopt;
    }
    std::string data;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        data.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (error)
                *error = std::strerror(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

bool copyFileReplacing(const std::string& from, const std::string& to) {
    // Through the atomic writer too: a copy cut short (a full disk, the process killed) leaves
    // the older copy as it was instead of a truncated one.
    if (!fileExists(from))
        return false;
    int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    try {
        AtomicFileWriter writer(to);
        char buffer[65536];
        for (;;) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                ::close(fd);
                return false; // the writer removes its temporary file
            }
            if (n == 0)
                break;
            writer.write(buffer, static_cast<size_t>(n));
        }
        writer.commit();
    } catch (const EDatabaseError&) {
        ::close(fd);
        return false;
    }
    // The copy gets the permissions of the original, as a private table stays private.
    struct stat st {};
    if (::fstat(fd, &st) == 0)
        ::chmod(to.c_str(), st.st_mode & 07777);
    ::close(fd);
    return true;
}

std::string changeFileExt(const std::string& path, std::string_view ext) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + std::string(ext);
    return path.substr(0, dot) + std::string(ext);
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

namespace {

// Temporary files are named after the file they replace and the process writing them:
// "alimenti.d.tmp-<process id>-<6 characters>". A process killed while saving leaves its
// temporary file behind (the old file is still whole); the next save beside it recognises the
// name and removes it once no process of that id is running. Files of any other name, and
// those of processes still running, are left alone.
constexpr std::string_view kTempMarker = ".tmp-";

std::string tempPrefix(const std::string& target) {
    return target + std::string(kTempMarker) + std::to_string(::getpid()) + "-";
}

// The process id in a temporary file name of `base`, or 0 when the name is not one.
pid_t tempOwner(std::string_view name, std::string_view base) {
    const size_t prefix = base.size() + kTempMarker.size();
    if (name.size() <= prefix + 7 || name.substr(0, base.size()) != base ||
        name.substr(base.size(), kTempMarker.size()) != kTempMarker)
        return 0;
    std::string_view rest = name.substr(prefix);
    const size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || rest.size() - dash - 1 != 6 || dash > 9)
        return 0;
    pid_t pid = 0;
    for (char c : rest.substr(0, dash)) {
        if (c < '0' || c > '9')
            return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

void removeStaleTemporaries(const std::string& target) {
    const fs::path path(target);
    const std::string base = path.filename().string();
    std::error_code ec;
    fs::directory_iterator it(path.parent_path().empty() ? fs::path(".") : path.parent_path(), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const pid_t owner = tempOwner(name, base);
        if (owner <= 0 || owner == ::getpid())
            continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError) || it->is_symlink(typeError))
            continue;
        if (::kill(owner, 0) != 0 && errno == ESRCH)
            ::unlink(it->path().c_str());
    }
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::string target) : target_(std::move(target)) {
    temp_ = tempPrefix(target_) + "XXXXXX";
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0) {
        temp_.clear();
        fail("create a temporary file beside");
    }
    removeStaleTemporaries(target_);
    // Keep the permissions of the file being replaced.
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0)
        ::fchmod(fd_, st.st_mode & 07777);
    else
        ::fchmod(fd_, 0644);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !temp_.empty())
        ::unlink(temp_.c_str());
}

void AtomicFileWriter::fail(const char* what) {
    // The name as the user wrote it; the system's description is UTF-8 as well.
    const AnsiString reason = fileNameText(std::strerror(errno));
    throw EDatabaseError("Cannot " + std::string(what) + " file " + fileNameText(target_) + ": " +
                         reason);
}

void AtomicFileWriter::write(const void* data, size_t size) {
    writeAt(written_, data, size);
}

void AtomicFileWriter::writeAt(size_t offset, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::pwrite(fd_, p + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            fail("write");
        }
        done += static_cast<size_t>(n);
    }
    if (offset + size > written_)
        written_ = offset + size;
}

void AtomicFileWriter::commit() {
    if (::fsync(fd_) != 0)
        fail("flush");
    if (::close(fd_) != 0) {
        fd_ = -1;
        fail("close");
    }
    fd_ = -1;
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        fail("replace");
    committed_ = true;
    // Make the rename itself durable.
    std::string dir = fs::path(target_).parent_path().string();
    int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    AtomicFileWriter writer(path);
    writer.write(bytes.data(), bytes.size());
    writer.commit();
}

} // namespace cibrano

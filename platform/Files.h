#pragma once
// Files as the engine uses them: existence, whole-file reads, copies, and the atomic
// replacement that every save goes through, so that a failed write never damages the old file.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace cibrano {

bool fileExists(const std::string& path);

// The whole file, or nothing (with the system's reason in `error`).
std::optional<std::string> readWholeFile(const std::string& path, std::string* error = nullptr);

// Copies `from` over `to`, replacing it as the atomic writer does (a failed copy leaves `to`
// as it was); false when anything fails.
bool copyFileReplacing(const std::string& from, const std::string& to);

// The path with its extension (from the last "." of the last path element) replaced by `ext`,
// or `ext` appended when there is none.
std::string changeFileExt(const std::string& path, std::string_view ext);

// The absolute form of a path, against the current working folder.
std::string absolutePath(const std::string& path);

// Writes a new version of a file: the bytes go to a temporary file in the same folder, and
// commit() flushes it to disk and renames it over the target. Until commit() returns, the old
// file stays as it was; a writer destroyed without commit removes its temporary file.
// Failures throw EDatabaseError with the file name and the system's reason.
// The temporary file is named "<target>.tmp-<process id>-<6 characters>". A process killed
// while writing leaves it behind (never a damaged target); the next writer of the same target
// removes such files of processes that are no longer running.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(const void* data, size_t size);
    // Overwrites bytes already written, at `offset` from the start of the file.
    void writeAt(size_t offset, const void* data, size_t size);
    size_t size() const { return written_; }
    void commit();

private:
    [[noreturn]] void fail(const char* what);
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    size_t written_ = 0;
    bool committed_ = false;
};

// Replaces a file with the given bytes through an AtomicFileWriter.
void writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace cibrano

#pragma once
// A folder of its own for a test's files, removed with everything in it when the test ends.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace cibrano::testkit {

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/cibrano-test-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        path = made ? made : "";
    }
    ~TempDir() {
        if (path.empty())
            return;
        std::error_code ec;
        // A test may have taken away the right to change the folder.
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return path + "/" + name; }
    size_t entryCount() const {
        size_t n = 0;
        for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(path))
            ++n;
        return n;
    }

    std::string path;
};

} // namespace cibrano::testkit

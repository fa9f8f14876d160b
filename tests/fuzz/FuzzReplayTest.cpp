// Replays every input of each fuzz target's committed corpus and every past finding through
// the target's body: run under the sanitizers, a crash, a leak or undefined behaviour comes
// back as a failure here, and so does any check of the target that fails.

#include "fuzz/FuzzTargets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace cibrano::fuzz;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    if (fs::is_directory(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FuzzReplay : public ::testing::TestWithParam<FuzzTarget> {
protected:
    // Runs every file of the folder; a failed check names the file.
    void replay(const fs::path& folder) {
        for (const fs::path& file : filesIn(folder)) {
            setFuzzFailureHandler([&](const std::string& what) {
                ADD_FAILURE() << file.filename().string() << ": " << what;
            });
            const std::string bytes = bytesOf(file);
            GetParam().run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        }
        setFuzzFailureHandler(nullptr);
    }
    fs::path folder(const char* kind) const {
        return fs::path(CIBRANO_FUZZ_DIR) / kind / GetParam().name;
    }
};

} // namespace

TEST_P(FuzzReplay, CommittedCorpus) {
    // An empty or missing corpus would make this test pass without running anything.
    ASSERT_GE(filesIn(folder("corpus")).size(), 5u) << folder("corpus");
    replay(folder("corpus"));
}

TEST_P(FuzzReplay, PastFindings) {
    replay(folder("findings"));
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(kFuzzTargets),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             name.erase(std::remove(name.begin(), name.end(), '_'), name.end());
                             return name;
                         });

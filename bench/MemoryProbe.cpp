// Peak resident memory of the program on a food table: a child process of its own per table
// size (so that nothing the benchmark made before counts), which starts the window system and
// paints an empty grid as the program does before its tables open, then opens the table as the
// program does and reports its peak resident size (VmHWM) above what it held before opening,
// then again after sorting by Nome, filtering, typing a quantity and saving.

#include "bench/Benchmarks.h"
#include "bench/FoodTable.h"
#include "bench/ProgramSession.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace cibrano::bench {

namespace {

// A line of /proc/self/status in kB, -1 when missing.
long statusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.compare(0, prefix.size(), prefix) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    return -1;
}

} // namespace

int memoryProbe(const std::string& folder) {
    ProgramSession::startDisplay();
    const long baseline = statusKb("VmHWM");
    std::printf("baseline %ld\n", baseline);
    ProgramSession session(folder);
    session.open();
    std::printf("open %ld\n", statusKb("VmHWM"));
    session.sortByName();
    std::printf("sort %ld\n", statusKb("VmHWM"));
    session.calc().ShowUsedRowsOnly();
    session.calc().ShowAllRows();
    session.find("mango");
    std::printf("filter %ld\n", statusKb("VmHWM"));
    session.typeQuantity(session.rowCount() / 2, "125");
    session.close();
    std::printf("save %ld\n", statusKb("VmHWM"));
    std::fflush(stdout);
    return 0;
}

int memoryReport(const char* self) {
    std::printf("rows,plain_file_bytes,baseline_kb,open_kb,sort_kb,filter_kb,save_kb\n");
    for (int rows : kProgramRows) {
        const std::string folder = programFolder(rows);
        const size_t fileBytes = foodTable(rows).plainImage.size();
        const std::string command = std::string(self) + " --memory-probe=" + folder;
        FILE* child = popen(command.c_str(), "r");
        if (!child) {
            std::fprintf(stderr, "bench: cannot run %s\n", command.c_str());
            return 1;
        }
        std::vector<long> values;
        char key[32];
        long value;
        while (std::fscanf(child, "%31s %ld", key, &value) == 2)
            values.push_back(value);
        if (pclose(child) != 0 || values.size() != 5) {
            std::fprintf(stderr, "bench: the memory probe of %d rows failed\n", rows);
            return 1;
        }
        std::printf("%d,%zu,%ld,%ld,%ld,%ld,%ld\n", rows, fileBytes, values[0], values[1],
                    values[2], values[3], values[4]);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace cibrano::bench

// The benchmark program: Google Benchmark's usual table, then a summary of what the numbers
// mean together (the engine against the floor and against SQLite, how reading grows with the
// table, and which of the user's commands are not instant).

#include "bench/Benchmarks.h"
#include "bench/FoodTable.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

using cibrano::bench::kRows;

// What a user still takes for an immediate answer to a command.
constexpr double kInstantMs = 50;

template <typename... Parts> std::string cat(const Parts&... parts) {
    std::string text;
    (text.append(std::string_view(parts)), ...);
    return text;
}

// Shows every run as the console reporter does and keeps each benchmark's real and CPU times,
// the median ones when repetitions were asked for. On a machine shared with other work the CPU
// ratio is the steadier one; where the disk is involved (saving) only the real one says much.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type != Run::RT_Iteration && !median)
                continue;
            const std::string name = run.run_name.function_name + "/" + run.run_name.args;
            if (median)
                medians_[name] = true;
            else if (medians_.count(name))
                continue;
            const double toMs = 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            times_[name] = {run.GetAdjustedRealTime() * toMs, run.GetAdjustedCPUTime() * toMs};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printSummary() const {
        std::printf(
            "\nSummary: real times in ms; ratios first / second, of real and of CPU time\n");
        std::printf("%-52s %9s %9s %6s %6s\n", "", "first", "second", "real", "CPU");
        for (std::string_view kind : {"plain", "enciphered"}) {
            const bool enciphered = kind == "enciphered";
            for (int rows : {10'000, kRows, 1'000'000}) {
                const std::string n = std::to_string(rows);
                compare(cat("open ", kind, ", ", n, " rows / file read",
                            enciphered ? " + decipher" : ""),
                        cat("read/engine/", kind, "/", n), cat("read/floor/", kind, "/", n));
            }
        }
        const std::string n = cat("/", std::to_string(kRows));
        for (std::string_view kind : {"plain", "enciphered"}) {
            const bool enciphered = kind == "enciphered";
            compare(cat("writeTableImage ", kind, " / copy", enciphered ? " + encipher" : ""),
                    cat("writeImage/engine/", kind, n), cat("writeImage/floor/", kind, n));
            compare(cat("saveTableFile ", kind, " / atomic file write"),
                    cat("save/engine/", kind, n), cat("save/floor/", kind, n));
        }
        compare("putRecord x rows / SQLite inserts", cat("load/engine", n), cat("load/sqlite", n));
        compare("open plain file / SQLite inserts", cat("read/engine/plain", n),
                cat("load/sqlite", n));
        for (std::string_view field : {"Nome", "Kcalorie"})
            compare(cat("sortRecords ", field, " / SQLite ORDER BY + read"),
                    cat("sort/engine/", field, n), cat("sort/sqlite/", field, n));

        std::printf("\nScaling of opening a table (x10 rows; 10.0 = linear)\n");
        for (std::string_view kind : {"plain", "enciphered"}) {
            const std::string base = cat("read/engine/", kind, "/");
            compare(cat(kind, ", 100000 / 10000 rows"), cat(base, "100000"), cat(base, "10000"));
            compare(cat(kind, ", 1000000 / 100000 rows"), cat(base, "1000000"),
                    cat(base, "100000"));
        }

        std::printf("\nThe table dataset under the program's commands, %d rows\n", kRows);
        std::printf("%-52s %9s %9s %6s %6s\n", "", "first", "second", "real", "CPU");
        for (std::string_view kind : {"plain", "enciphered"})
            compare(cat("open dataset ", kind, " / store read"), cat("open/dataset/", kind, n),
                    cat("read/engine/", kind, n));
        compare("totals walk, food table / floor", cat("totals/dataset/table", n),
                cat("totals/floor", n));
        compare("totals walk, clone / floor", cat("totals/dataset/clone", n),
                cat("totals/floor", n));
        compare("totals walk, clone / SQLite SUM", cat("totals/dataset/clone", n),
                cat("totals/sqlite", n));
        compare("sort view Nome / SQLite ORDER BY Nome + read", cat("sortView/dataset/Nome", n),
                cat("sort/sqlite/NomeBinary", n));
        compare("sort view Nome no case / SQLite NOCASE + read",
                cat("sortView/dataset/NomeNoCase", n), cat("sort/sqlite/Nome", n));
        compare("sort view Kcalorie / SQLite ORDER BY + read", cat("sortView/dataset/Kcalorie", n),
                cat("sort/sqlite/Kcalorie", n));
        compare("sort view Nome no case / sortRecords store", cat("sortView/dataset/NomeNoCase", n),
                cat("sort/engine/Nome", n));
        compare("filter used rows / SQLite WHERE Quantita <> 0", cat("filter/dataset/used", n),
                cat("filter/sqlite/used", n));
        compare("find box filter / SQLite UPPER LIKE '%X%'", cat("find/dataset/filter", n),
                cat("find/sqlite/filter", n));
        compare("locate partial no case / SQLite LIKE 'x%' LIMIT 1", cat("find/dataset/locate", n),
                cat("find/sqlite/locate", n));
        compare("edit + post / SQLite UPDATE one row", cat("edit/dataset/post", n),
                cat("edit/sqlite/update", n));
        compare("edit + post, program's totals / UPDATE + SUM", cat("edit/program/post", n),
                cat("edit/sqlite/updateSum", n));
        compare("zero all / SQLite UPDATE all", cat("zeroAll/dataset", n),
                cat("zeroAll/sqlite/update", n));
        compare("zero all, program's totals / UPDATE + SUM", cat("zeroAll/program", n),
                cat("zeroAll/sqlite/updateSum", n));

        std::printf("\nThe same commands with the program's totals walks / without\n");
        for (std::string_view command : {"sortView/%/Nome", "filter/%/used", "filter/%/off",
                                         "find/%/filter", "edit/%/post", "zeroAll/%"}) {
            const size_t at = command.find('%');
            auto variant = [&](std::string_view kind) {
                return cat(command.substr(0, at), kind, command.substr(at + 1), n);
            };
            compare(std::string(command.substr(0, at - 1)) + std::string(command.substr(at + 1)),
                    variant("program"), variant("dataset"));
        }

        std::printf("\nCommands not instant (over %.0f ms of CPU time at %d rows)\n", kInstantMs,
                    kRows);
        bool any = false;
        for (const auto& [name, times] : times_) {
            const bool command = name.find("/dataset") != std::string::npos ||
                                 name.find("/program") != std::string::npos;
            if (command && times.cpu > kInstantMs) {
                std::printf("  %-50s %9.1f ms (real %.1f)\n", name.c_str(), times.cpu, times.real);
                any = true;
            }
        }
        if (!any)
            std::printf("  none\n");
    }

private:
    struct Times {
        double real;
        double cpu;
    };

    void compare(const std::string& what, const std::string& first,
                 const std::string& second) const {
        auto a = times_.find(first);
        auto b = times_.find(second);
        if (a == times_.end() || b == times_.end() || b->second.real <= 0 || b->second.cpu <= 0)
            return;
        std::printf("%-52s %9.3f %9.3f %6.2f %6.2f\n", what.c_str(), a->second.real, b->second.real,
                    a->second.real / b->second.real, a->second.cpu / b->second.cpu);
    }

    std::map<std::string, Times> times_;
    std::map<std::string, bool> medians_;
};

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.substr(0, 15) == "--memory-probe=")
            return cibrano::bench::memoryProbe(std::string(arg.substr(15)));
        if (arg == "--memory")
            return cibrano::bench::memoryReport(
                std::filesystem::read_symlink("/proc/self/exe").c_str());
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
#if !defined(__OPTIMIZE__)
    std::fprintf(stderr, "*** Built without optimisation: configure with "
                         "-DCMAKE_BUILD_TYPE=Release for numbers worth reading ***\n");
#endif
    cibrano::bench::keepMemoryInProcess();
    cibrano::bench::registerStoreBenchmarks();
    cibrano::bench::registerDatasetBenchmarks();
    cibrano::bench::registerSqliteBenchmarks();
    cibrano::bench::registerProgramBenchmarks();
    cibrano::bench::registerRecipeBookBenchmarks();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}

// The store benchmark program: Google Benchmark's usual table, then a summary of what the
// numbers mean together (the engine against the floor and against SQLite, and how reading
// grows with the table).

#include "bench/Benchmarks.h"
#include "bench/FoodTable.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

using cibrano::bench::kRows;

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
        std::printf("%-52s %9.2f %9.2f %6.2f %6.2f\n", what.c_str(), a->second.real, b->second.real,
                    a->second.real / b->second.real, a->second.cpu / b->second.cpu);
    }

    std::map<std::string, Times> times_;
    std::map<std::string, bool> medians_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
#if !defined(__OPTIMIZE__)
    std::fprintf(stderr, "*** Built without optimisation: configure with "
                         "-DCMAKE_BUILD_TYPE=Release for numbers worth reading ***\n");
#endif
    cibrano::bench::keepMemoryInProcess();
    cibrano::bench::registerStoreBenchmarks();
    cibrano::bench::registerSqliteBenchmarks();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}

// The program itself under the commands a user gives it: RecipeCalculator, the windowless half
// of the main window, on the food file "alimenti.d" enciphered with the program's password in
// a folder of its own, driven as the window drives it. Each command is timed with everything
// it sets off: the data source's notifications, the totals walks over the clone and the four
// label texts. With the grid built, the grid bound to the food table is painted after each
// command (gridRepaint.h).
//
// Everything that puts the program back for the next iteration (the file order after a sort,
// the quantities after zeroing them, the row left after typing) runs while the clock stands.

#include "bench/Benchmarks.h"
#include "bench/FoodTable.h"
#include "bench/ProgramSession.h"

#include <benchmark/benchmark.h>

#include <exception>
#include <string>

namespace cibrano::bench {

namespace {

// Runs a benchmark's body and turns an error into a skipped benchmark with its message.
template <typename Body> void guarded(benchmark::State& state, Body body) {
    try {
        body();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

int rowsOf(const benchmark::State& state) {
    return static_cast<int>(state.range(0));
}

// Counts the walks and label writes of the timed part only, per iteration.
class Counting {
public:
    Counting(benchmark::State& state, ProgramSession& session) : state_(state), session_(session) {}
    ~Counting() {
        state_.counters["walks"] = benchmark::Counter(walks_, benchmark::Counter::kAvgIterations);
        state_.counters["labels"] = benchmark::Counter(labels_, benchmark::Counter::kAvgIterations);
    }
    void start() {
        walksAt_ = session_.walks();
        labelsAt_ = session_.labelsShown();
    }
    void stop() {
        walks_ += session_.walks() - walksAt_;
        labels_ += session_.labelsShown() - labelsAt_;
    }

    // Stops the clock (and the counting) around putting the program back.
    template <typename Body> void untimed(Body body) {
        stop();
        state_.PauseTiming();
        body();
        settleFreedMemory();
        state_.ResumeTiming();
        start();
    }

private:
    benchmark::State& state_;
    ProgramSession& session_;
    double walks_ = 0;
    double labels_ = 0;
    int walksAt_ = 0;
    int labelsAt_ = 0;
};

// ---- Opening and closing ----

// Start-up: the calculator made and OpenRecipeTables (the enciphered file read and
// deciphered, the store, the fields, the clone, the first totals), then the grid painted.
void programOpenFolder(benchmark::State& state, const std::string& folder) {
    guarded(state, [&] {
        for (auto _ : state) {
            ProgramSession session(folder);
            session.open();
            session.repaint();
            state.PauseTiming();
            if (session.rowCount() != rowsOf(state)) {
                state.SkipWithError("the program did not open the table whole");
                state.ResumeTiming();
                break;
            }
            session.discard();
            settleFreedMemory();
            state.ResumeTiming();
        }
        state.SetItemsProcessed(state.iterations() * rowsOf(state));
    });
}

void programOpen(benchmark::State& state) {
    programOpenFolder(state, programFolder(rowsOf(state)));
}

// Start-up on the bundled sample food table (its extra fields included), as above.
void programOpenSample(benchmark::State& state) {
    programOpenFolder(state, sampleFolder());
}

// Closing after one posted change: SaveOnClose writes the table (enciphered, atomically) and
// the calculator goes with its tables and records.
void programClose(benchmark::State& state) {
    guarded(state, [&] {
        const std::string folder = programFolder(rowsOf(state));
        for (auto _ : state) {
            state.PauseTiming();
            auto session = std::make_unique<ProgramSession>(folder);
            session->open();
            session->typeQuantity(rowsOf(state) / 2, "125");
            state.ResumeTiming();

            session->close();
            session.reset();

            state.PauseTiming();
            settleFreedMemory();
            state.ResumeTiming();
        }
        state.SetItemsProcessed(state.iterations() * rowsOf(state));
    });
}

// ---- The commands on an open program ----

// One session per benchmark, opened before the clock runs.
template <typename Command, typename Restore>
void programCommand(benchmark::State& state, Command command, Restore restore,
                    void (*prepare)(ProgramSession&) = nullptr, bool repaint = true) {
    guarded(state, [&] {
        ProgramSession session(rowsOf(state) == kSampleRows ? sampleFolder()
                                                            : programFolder(rowsOf(state)));
        session.open();
        if (prepare)
            prepare(session);
        Counting counting(state, session);
        counting.start();
        for (auto _ : state) {
            command(session);
            if (repaint)
                session.repaint();
            counting.untimed([&] { restore(session); });
        }
        counting.stop();
        state.SetItemsProcessed(state.iterations() * rowsOf(state));
    });
}

// A quantity typed into a row in the middle of the grid, then the row left downwards: edit,
// the typed text assigned to the field, the post and the move to the next row.
void programTypeQuantity(benchmark::State& state) {
    const int row = rowsOf(state) / 2;
    int typed = 0;
    programCommand(
        state,
        [&](ProgramSession& s) {
            typed = typed == 125 ? 130 : 125;
            s.typeQuantity(row, std::to_string(typed).c_str());
        },
        [&](ProgramSession& s) { s.goToRow(row); });
}

// A click on the title of Nome with the grid in file order.
void programSortByName(benchmark::State& state) {
    programCommand(
        state, [](ProgramSession& s) { s.sortByName(); }, [](ProgramSession& s) { s.unsort(); });
}

void programShowUsedRows(benchmark::State& state) {
    programCommand(
        state, [](ProgramSession& s) { s.calc().ShowUsedRowsOnly(); },
        [](ProgramSession& s) { s.calc().ShowAllRows(); });
}

void programShowAllRows(benchmark::State& state) {
    programCommand(
        state, [](ProgramSession& s) { s.calc().ShowAllRows(); },
        [](ProgramSession& s) { s.calc().ShowUsedRowsOnly(); },
        [](ProgramSession& s) { s.calc().ShowUsedRowsOnly(); });
}

// The find box (filter style, anywhere in the name) with a word typed into it: the text set,
// then its 100 ms wait running out, which filters the food table.
void programFindWord(benchmark::State& state) {
    programCommand(
        state, [](ProgramSession& s) { s.find("mango"); }, [](ProgramSession& s) { s.find(""); });
}

// One keystroke in the find box on the bundled sample: "parm" typed after "par", the box's
// wait run out, the 3,184 foods filtered and the grid painted.
void programFindKeystroke(benchmark::State& state) {
    programCommand(
        state, [](ProgramSession& s) { s.find("parm"); }, [](ProgramSession& s) { s.find("par"); },
        [](ProgramSession& s) { s.find("par"); });
}

// "Zero all quantities" on the whole table; the quantities come back through discardChanges.
void programZeroAll(benchmark::State& state) {
    programCommand(
        state, [](ProgramSession& s) { s.calc().ZeroAllQuantities(); },
        [](ProgramSession& s) { s.calc().Table1->discardChanges(); });
}

// The totals computed over every row, as a data change after a posted value sets it off
// (the store is told its values changed while the clock stands, so that the sums cannot be
// the last ones), with the labels written; no repaint.
void programTotals(benchmark::State& state) {
    programCommand(
        state, [](ProgramSession& s) { s.calc().DataSource1DataChange(nullptr, nullptr); },
        [](ProgramSession& s) { s.calc().Table1->store()->valuesChanged(); },
        [](ProgramSession& s) { s.calc().Table1->store()->valuesChanged(); }, false);
}

// The grid painted whole, with nothing changed.
void programRepaint(benchmark::State& state) {
    programCommand(
        state, [](ProgramSession&) {}, [](ProgramSession&) {});
}

void programSizes(benchmark::internal::Benchmark* b) {
    for (int rows : kProgramRows)
        b->Arg(rows);
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

void registerProgramBenchmarks() {
    using benchmark::RegisterBenchmark;
    RegisterBenchmark("program/open", programOpen)->Apply(programSizes);
    RegisterBenchmark("program/openSample", programOpenSample)
        ->Arg(kSampleRows)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    RegisterBenchmark("program/findKeystrokeSample", programFindKeystroke)
        ->Arg(kSampleRows)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    RegisterBenchmark("program/totals", programTotals)->Apply(programSizes);
    RegisterBenchmark("program/typeQuantity", programTypeQuantity)->Apply(programSizes);
    RegisterBenchmark("program/sortByName", programSortByName)->Apply(programSizes);
    RegisterBenchmark("program/showUsedRows", programShowUsedRows)->Apply(programSizes);
    RegisterBenchmark("program/showAllRows", programShowAllRows)->Apply(programSizes);
    RegisterBenchmark("program/findWord", programFindWord)->Apply(programSizes);
    RegisterBenchmark("program/zeroAll", programZeroAll)->Apply(programSizes);
    if (ProgramSession::paintsGrid())
        RegisterBenchmark("program/repaint", programRepaint)
            ->Arg(1'000)
            ->Arg(1'000'000)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    RegisterBenchmark("program/close", programClose)->Apply(programSizes);
}

} // namespace cibrano::bench

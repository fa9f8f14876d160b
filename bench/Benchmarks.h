#pragma once
// The benchmark families of the benchmark program, registered in the order they run.

#include <string>

namespace cibrano::bench {

// The size of the program's food table the engine must handle at once: every comparison with
// SQLite and every ratio but the reader's scaling is taken at this size.
inline constexpr int kRows = 100'000;

// The record store and the floor it is measured against.
void registerStoreBenchmarks();
// The table dataset under the program's commands.
void registerDatasetBenchmarks();
// SQLite in memory doing the same work on the same rows.
void registerSqliteBenchmarks();
// The program (RecipeCalculator, and the grid when built) under a user's commands.
void registerProgramBenchmarks();

// The recipe book: loading and saving a recipe at a million food rows, opening its window on
// a book of 10,000 recipes.
void registerRecipeBookBenchmarks();

// The memory report (--memory): per table size, the plain file's size and the peak resident
// memory of a child process (this program run as `self --memory-probe=<folder>`) before and
// after opening the table, sorting, filtering and saving it, as CSV on standard output.
int memoryReport(const char* self);
int memoryProbe(const std::string& folder);

} // namespace cibrano::bench

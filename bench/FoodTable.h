#pragma once
// The data every benchmark works on: a food table shaped like the program's own (Gruppo as a
// fixed text of 30, Nome as a text of 50, five floats), with rows made up deterministically so
// that every run, and the engine and SQLite within a run, see the same values in the same order.

#include "engine/file/ZerovCursor.h"
#include "platform/AnsiString.h"

#include <string>
#include <vector>

namespace cibrano::bench {

struct FoodRow {
    AnsiString gruppo;
    AnsiString nome;
    double quantita = 0;
    double kcalorie = 0;
    double glucidi = 0;
    double lipidi = 0;
    double proteine = 0;
};

// The table in every form the benchmarks start from, made once per row count.
struct FoodTable {
    int rows = 0;
    std::vector<FoodRow> values;
    std::string plainImage;      // the plain table image
    std::string encipheredImage; // the same table enciphered with kPassword
    std::string plainFile;       // the two images as table files in a scratch folder
    std::string encipheredFile;
    // Where the enciphered body starts, and the text its cipher is keyed with.
    size_t encipheredBodyOffset = 0;
    std::string bodyKey;
};

inline constexpr const char* kPassword = "BENCHMARKPASSWORD";

// The rows of a table of `count` rows; the same every time.
std::vector<FoodRow> makeFoodRows(int count);

// Makes `store` a new empty food table (no password).
void createFoodTable(TZerovCursor& store);
// Appends the rows to the store as new records and commits them.
void putFoodRows(TZerovCursor& store, const std::vector<FoodRow>& rows);

// The table of `rows` rows, made on first use and kept for the rest of the run.
const FoodTable& foodTable(int rows);

// Reads an image into a fresh store; aborts the run when the engine refuses it.
void loadImage(TZerovCursor& store, const std::string& image);

// The allocator keeps the memory it gets for the rest of the run (glibc: no trimming, no
// separate mappings for large blocks), so that every iteration works on warm memory and the
// numbers measure the code, not the system's page faults (which on a virtual machine can cost
// more than the work itself). Called once, before anything is allocated for a benchmark.
void keepMemoryInProcess();
// Lets the allocator tidy up what was freed while the clock stood (glibc merges its small free
// blocks on the next large request), so the tidying does not land on the next timed step.
void settleFreedMemory();

// The scratch folder of this run (removed at exit), with a trailing "/".
const std::string& scratchFolder();

} // namespace cibrano::bench

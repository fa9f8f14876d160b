// SQLite in memory as the peer of the record store and the table dataset: loading the same
// rows, sorting them by the same fields, and the program's commands as queries (the totals as
// a SUM, the filters as WHERE, the find box as LIKE, edits as UPDATE).

#include "bench/Benchmarks.h"
#include "bench/FoodTable.h"

#include "platform/AnsiCase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace cibrano::bench {

namespace {

[[noreturn]] void sqliteFailed(sqlite3* db, const char* what) {
    std::fprintf(stderr, "bench: SQLite %s: %s\n", what, db ? sqlite3_errmsg(db) : "no memory");
    std::exit(1);
}

void exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        sqliteFailed(db, sql);
}

// A new in-memory database with the food table, empty. Temporary storage (the sorter's) is
// kept in memory too, as the engine keeps everything.
sqlite3* openFoodDatabase() {
    sqlite3* db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK)
        sqliteFailed(db, "open");
    exec(db, "PRAGMA temp_store = MEMORY");
    exec(db, "CREATE TABLE food (Gruppo TEXT, Nome TEXT, Quantita REAL, Kcalorie REAL, "
             "Glucidi REAL, Lipidi REAL, Proteine REAL)");
    return db;
}

// All the rows through one prepared insert in one transaction.
void insertFoodRows(sqlite3* db, const std::vector<FoodRow>& rows) {
    exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO food VALUES (?, ?, ?, ?, ?, ?, ?)", -1, &insert,
                           nullptr) != SQLITE_OK)
        sqliteFailed(db, "prepare insert");
    for (const FoodRow& row : rows) {
        sqlite3_bind_text(insert, 1, row.gruppo.data(), static_cast<int>(row.gruppo.size()),
                          SQLITE_STATIC);
        sqlite3_bind_text(insert, 2, row.nome.data(), static_cast<int>(row.nome.size()),
                          SQLITE_STATIC);
        sqlite3_bind_double(insert, 3, row.quantita);
        sqlite3_bind_double(insert, 4, row.kcalorie);
        sqlite3_bind_double(insert, 5, row.glucidi);
        sqlite3_bind_double(insert, 6, row.lipidi);
        sqlite3_bind_double(insert, 7, row.proteine);
        if (sqlite3_step(insert) != SQLITE_DONE)
            sqliteFailed(db, "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec(db, "COMMIT");
}

void sqliteLoad(benchmark::State& state) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        sqlite3* db = openFoodDatabase();
        insertFoodRows(db, table.values);
        state.PauseTiming();
        sqlite3_close(db);
        settleFreedMemory();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * table.rows);
}

sqlite3_stmt* prepare(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        sqliteFailed(db, sql.c_str());
    return statement;
}

// A food database with the benchmark's rows, for the benchmarks that only read or change it.
sqlite3* filledFoodDatabase(const FoodTable& table) {
    sqlite3* db = openFoodDatabase();
    insertFoodRows(db, table.values);
    return db;
}

// Runs a query and reads every column of every row it answers, as a grid that shows the
// rows would; answers the number of rows.
int readAllRows(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* select = prepare(db, sql);
    int rows = 0;
    size_t textBytes = 0;
    double sum = 0;
    int rc;
    while ((rc = sqlite3_step(select)) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < 2; ++c) {
            benchmark::DoNotOptimize(sqlite3_column_text(select, c));
            textBytes += static_cast<size_t>(sqlite3_column_bytes(select, c));
        }
        for (int c = 2; c < 7; ++c)
            sum += sqlite3_column_double(select, c);
    }
    if (rc != SQLITE_DONE)
        sqliteFailed(db, sql.c_str());
    sqlite3_finalize(select);
    benchmark::DoNotOptimize(textBytes);
    benchmark::DoNotOptimize(sum);
    return rows;
}

// The program's four totals as one query.
void sumTotals(sqlite3* db) {
    sqlite3_stmt* sum = prepare(db, "SELECT SUM(Glucidi * Quantita / 100), "
                                    "SUM(Lipidi * Quantita / 100), SUM(Proteine * Quantita / 100), "
                                    "SUM(Kcalorie * Quantita / 100) FROM food");
    if (sqlite3_step(sum) != SQLITE_ROW)
        sqliteFailed(db, "sum");
    for (int c = 0; c < 4; ++c)
        benchmark::DoNotOptimize(sqlite3_column_double(sum, c));
    sqlite3_finalize(sum);
}

// The sorted rows read out whole, every column of every row.
void sqliteOrderBy(benchmark::State& state, const char* orderBy) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    sqlite3* db = filledFoodDatabase(table);
    const std::string sql = std::string("SELECT * FROM food ORDER BY ") + orderBy;
    for (auto _ : state) {
        if (readAllRows(db, sql) != table.rows)
            sqliteFailed(db, "select");
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * table.rows);
}

// A query whose rows are all read; it must answer the rows that `keeps` keeps.
void sqliteSelect(benchmark::State& state, const char* where, bool (*keeps)(const FoodRow&)) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    sqlite3* db = filledFoodDatabase(table);
    int expected = 0;
    for (const FoodRow& row : table.values)
        expected += keeps(row);
    const std::string sql = std::string("SELECT * FROM food WHERE ") + where;
    for (auto _ : state) {
        if (readAllRows(db, sql) != expected)
            sqliteFailed(db, "the query answered the wrong rows");
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * table.rows);
}

bool usedRow(const FoodRow& row) {
    return row.quantita != 0;
}
// SQLite's UPPER and LIKE fold ASCII letters only; the searched text has no others.
bool mangoRow(const FoodRow& row) {
    return ansiUpperCase(row.nome).find("MANGO") != AnsiString::npos;
}

void sqliteTotals(benchmark::State& state) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    sqlite3* db = filledFoodDatabase(table);
    for (auto _ : state)
        sumTotals(db);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * table.rows);
}

// The first name with a beginning no food has: every row is looked at.
void sqliteLocate(benchmark::State& state) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    sqlite3* db = filledFoodDatabase(table);
    for (auto _ : state) {
        if (readAllRows(db, "SELECT * FROM food WHERE Nome LIKE 'zucca%' LIMIT 1") != 0)
            sqliteFailed(db, "locate found a name no food has");
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * table.rows);
}

// One quantity changed (its own transaction), then, with `totals`, the totals asked again.
void sqliteUpdateOne(benchmark::State& state, bool totals) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    sqlite3* db = filledFoodDatabase(table);
    sqlite3_stmt* update = prepare(db, "UPDATE food SET Quantita = ? WHERE rowid = ?");
    sqlite3_bind_int(update, 2, table.rows / 2);
    double value = 0;
    for (auto _ : state) {
        value = value < 500 ? value + 5 : 5;
        sqlite3_bind_double(update, 1, value);
        if (sqlite3_step(update) != SQLITE_DONE || sqlite3_changes(db) != 1)
            sqliteFailed(db, "update");
        sqlite3_reset(update);
        if (totals)
            sumTotals(db);
    }
    sqlite3_finalize(update);
    sqlite3_close(db);
}

// Every non-zero quantity set to 0 in one statement (then, with `totals`, the totals asked
// again); the quantities come back by rolling the transaction back while the clock stands.
void sqliteZeroAll(benchmark::State& state, bool totals) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    sqlite3* db = filledFoodDatabase(table);
    int expected = 0;
    for (const FoodRow& row : table.values)
        expected += usedRow(row);
    for (auto _ : state) {
        state.PauseTiming();
        exec(db, "BEGIN");
        state.ResumeTiming();

        exec(db, "UPDATE food SET Quantita = 0 WHERE Quantita <> 0");
        const int zeroed = sqlite3_changes(db);
        if (totals)
            sumTotals(db);

        state.PauseTiming();
        exec(db, "ROLLBACK");
        state.ResumeTiming();
        if (zeroed != expected)
            sqliteFailed(db, "zeroing did not meet every used row");
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * table.rows);
}

} // namespace

void registerSqliteBenchmarks() {
    using benchmark::RegisterBenchmark;
    auto oneSize = [](benchmark::internal::Benchmark* b) {
        b->Arg(kRows)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
    };
    RegisterBenchmark("load/sqlite", sqliteLoad)->Apply(oneSize);
    // NOCASE folds ASCII letters only, the engine's case rule all of Windows-1252's; the rows
    // hold few accented letters, so the work is comparable.
    RegisterBenchmark("sort/sqlite/Nome", sqliteOrderBy, "Nome COLLATE NOCASE")->Apply(oneSize);
    RegisterBenchmark("sort/sqlite/Kcalorie", sqliteOrderBy, "Kcalorie")->Apply(oneSize);
    RegisterBenchmark("sort/sqlite/NomeBinary", sqliteOrderBy, "Nome")->Apply(oneSize);

    RegisterBenchmark("totals/sqlite", sqliteTotals)->Apply(oneSize);
    RegisterBenchmark("filter/sqlite/used", sqliteSelect, "Quantita <> 0", usedRow)->Apply(oneSize);
    RegisterBenchmark("find/sqlite/filter", sqliteSelect, "UPPER(Nome) LIKE '%MANGO%'", mangoRow)
        ->Apply(oneSize);
    RegisterBenchmark("find/sqlite/locate", sqliteLocate)->Apply(oneSize);
    RegisterBenchmark("edit/sqlite/update", sqliteUpdateOne, false)
        ->Arg(kRows)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    RegisterBenchmark("edit/sqlite/updateSum", sqliteUpdateOne, true)->Apply(oneSize);
    RegisterBenchmark("zeroAll/sqlite/update", sqliteZeroAll, false)->Apply(oneSize);
    RegisterBenchmark("zeroAll/sqlite/updateSum", sqliteZeroAll, true)->Apply(oneSize);
}

} // namespace cibrano::bench

// SQLite in memory as the peer of the record store: loading the same rows and sorting them by
// the same fields.

#include "bench/Benchmarks.h"
#include "bench/FoodTable.h"

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

// The sorted rows read out whole, every column of every row.
void sqliteOrderBy(benchmark::State& state, const char* orderBy) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    sqlite3* db = openFoodDatabase();
    insertFoodRows(db, table.values);
    const std::string sql = std::string("SELECT * FROM food ORDER BY ") + orderBy;
    for (auto _ : state) {
        sqlite3_stmt* select = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &select, nullptr) != SQLITE_OK)
            sqliteFailed(db, "prepare select");
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
        if (rc != SQLITE_DONE || rows != table.rows)
            sqliteFailed(db, "select");
        sqlite3_finalize(select);
        benchmark::DoNotOptimize(textBytes);
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * table.rows);
}

} // namespace

void registerSqliteBenchmarks() {
    using benchmark::RegisterBenchmark;
    auto oneSize = [](benchmark::internal::Benchmark* b) {
        b->Arg(kRows)->Unit(benchmark::kMillisecond)->UseRealTime();
    };
    RegisterBenchmark("load/sqlite", sqliteLoad)->Apply(oneSize);
    // NOCASE folds ASCII letters only, the engine's case rule all of Windows-1252's; the rows
    // hold few accented letters, so the work is comparable.
    RegisterBenchmark("sort/sqlite/Nome", sqliteOrderBy, "Nome COLLATE NOCASE")->Apply(oneSize);
    RegisterBenchmark("sort/sqlite/Kcalorie", sqliteOrderBy, "Kcalorie")->Apply(oneSize);
}

} // namespace cibrano::bench

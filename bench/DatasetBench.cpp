// The table dataset under the commands a user gives the program on a food table: opening it,
// the totals walk that follows every data change, sorting by a column, the used-rows filter,
// the find box, editing a quantity and zeroing them all. Each runs through the real
// TZerovTable (a file table and its clone, as the program has them), next to the direct walk
// of the store's records where that is the floor.

#include "bench/Benchmarks.h"
#include "bench/FoodTable.h"

#include "dataset/DataSource.h"
#include "dataset/Field.h"
#include "engine/record/RecordEntry.h"
#include "engine/table/ZerovTable.h"
#include "platform/AnsiCase.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cibrano::bench {

namespace {

// The name the find box searches for in the benchmarks: about one name in 48 holds it.
constexpr const char* kFindText = "MANGO";
// A name beginning that no food has, so that locate looks at every record.
constexpr const char* kMissingPrefix = "zucca";

// Runs a benchmark's body and turns an engine error into a skipped benchmark with its message
// ("Capability not supported" while the engine cannot locate yet).
template <typename Body> void guarded(benchmark::State& state, Body body) {
    try {
        body();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

// The five fields the totals read, resolved once as the program's persistent fields are.
struct Nutrients {
    explicit Nutrients(const TDataSet& ds)
        : quantita(ds.fieldByName("Quantita")), kcalorie(ds.fieldByName("Kcalorie")),
          glucidi(ds.fieldByName("Glucidi")), lipidi(ds.fieldByName("Lipidi")),
          proteine(ds.fieldByName("Proteine")) {}
    TField* quantita;
    TField* kcalorie;
    TField* glucidi;
    TField* lipidi;
    TField* proteine;
};

struct Totals {
    double glucidi = 0;
    double proteine = 0;
    double lipidi = 0;
    double kcalorie = 0;
};

// The program's totals: a walk from the first record to the end, each nutrient times the
// quantity over 100, summed in the program's order.
Totals walkTotals(TDataSet& ds, const Nutrients& f) {
    Totals t;
    ds.moveFirst();
    while (!ds.atEnd()) {
        const double q = f.quantita->floatValue();
        t.glucidi += f.glucidi->floatValue() * q / 100;
        t.lipidi += f.lipidi->floatValue() * q / 100;
        t.proteine += f.proteine->floatValue() * q / 100;
        t.kcalorie += f.kcalorie->floatValue() * q / 100;
        ds.moveNext();
    }
    return t;
}

// The same sums straight from the rows the table was made of: what every walk must answer.
Totals expectedTotals(const std::vector<FoodRow>& rows) {
    Totals t;
    for (const FoodRow& row : rows) {
        t.glucidi += row.glucidi * row.quantita / 100;
        t.lipidi += row.lipidi * row.quantita / 100;
        t.proteine += row.proteine * row.quantita / 100;
        t.kcalorie += row.kcalorie * row.quantita / 100;
    }
    return t;
}

bool sameTotals(const Totals& a, const Totals& b) {
    auto near = [](double x, double y) { return std::fabs(x - y) <= 1e-9 * (1 + std::fabs(y)); };
    return near(a.glucidi, b.glucidi) && near(a.proteine, b.proteine) && near(a.lipidi, b.lipidi) &&
           near(a.kcalorie, b.kcalorie);
}

// The program's tables over the benchmark's food file: the food table, its clone for the
// totals, and optionally the food table's data source recomputing the totals on every data
// change as the main window's does (the program's cost of a command is the command and these
// walks). Members go in reverse order: source, clone, table.
class FoodTables {
public:
    explicit FoodTables(benchmark::State& state, bool withTotals = false, bool enciphered = false)
        : data(foodTable(static_cast<int>(state.range(0)))), state_(state),
          withTotals_(withTotals) {
        table.setName("Table1");
        if (enciphered)
            table.setPassword(kPassword);
        table.setTableName(enciphered ? data.encipheredFile : data.plainFile);
        table.open();
        clone.setName("Table2");
        clone.setCloneDS(&table);
        clone.open();
        cloneFields_ = std::make_unique<Nutrients>(clone);
        if (withTotals) {
            source.OnDataChange = [this](TDataSource*, TField*) {
                walks_ += timing_;
                benchmark::DoNotOptimize(walkTotals(clone, *cloneFields_));
            };
            source.setDataSet(&table);
        }
    }
    // With the program's data source: the walks made while the clock ran, per iteration.
    ~FoodTables() {
        if (withTotals_)
            state_.counters["walks"] =
                benchmark::Counter(walks_, benchmark::Counter::kAvgIterations);
    }

    // Walks count from here (the benchmark's loop) on.
    void startCounting() { timing_ = true; }
    // Stops and restarts the clock around putting the tables back for the next iteration.
    void pause() {
        state_.PauseTiming();
        timing_ = false;
    }
    void resume() {
        settleFreedMemory();
        timing_ = true;
        state_.ResumeTiming();
    }

    const FoodTable& data;
    TZerovTable table;
    TZerovTable clone;
    TDataSource source;

private:
    benchmark::State& state_;
    bool withTotals_;
    std::unique_ptr<Nutrients> cloneFields_;
    bool timing_ = false;
    int walks_ = 0;
};

int usedRows(const FoodTable& data) {
    int n = 0;
    for (const FoodRow& row : data.values)
        n += row.quantita != 0;
    return n;
}

bool nameHolds(const AnsiString& name, const char* upperText) {
    return ansiUpperCase(name).find(upperText) != AnsiString::npos;
}

// ---- Opening ----

// The food table opened as the program opens it: the file read, the store filled, the fields
// made and bound, the view built. Throwing the table away is not part of opening.
void datasetOpen(benchmark::State& state, bool enciphered) {
    const FoodTable& data = foodTable(static_cast<int>(state.range(0)));
    guarded(state, [&] {
        for (auto _ : state) {
            state.PauseTiming();
            auto table = std::make_unique<TZerovTable>();
            if (enciphered)
                table->setPassword(kPassword);
            table->setTableName(enciphered ? data.encipheredFile : data.plainFile);
            state.ResumeTiming();

            table->open();

            state.PauseTiming();
            if (table->recordCount() != data.rows) {
                state.SkipWithError("the table did not open whole");
                break;
            }
            table.reset();
            settleFreedMemory();
            state.ResumeTiming();
        }
    });
    state.SetItemsProcessed(state.iterations() * data.rows);
}

// ---- The totals walk ----

// The walk the program makes on every data change, over the clone (as the program does) or
// over the food table itself.
void datasetTotals(benchmark::State& state, bool throughClone) {
    guarded(state, [&] {
        FoodTables t(state);
        TDataSet& ds = throughClone ? static_cast<TDataSet&>(t.clone) : t.table;
        const Nutrients fields(ds);
        if (!sameTotals(walkTotals(ds, fields), expectedTotals(t.data.values))) {
            state.SkipWithError("the walk does not give the table's totals");
            return;
        }
        for (auto _ : state)
            benchmark::DoNotOptimize(walkTotals(ds, fields));
        state.SetItemsProcessed(state.iterations() * t.data.rows);
    });
}

// The stored fields the sums read, the quantity first.
std::array<const TZerovField*, 5> summedFields(const TZerovCursor& store) {
    return {store.findField("Quantita"), store.findField("Kcalorie"), store.findField("Glucidi"),
            store.findField("Lipidi"), store.findField("Proteine")};
}

// Times `sum` once it has given the table's totals; `wrong` says otherwise.
template <typename Sum>
void timeSums(benchmark::State& state, const FoodTables& t, Sum sum, const char* wrong) {
    if (!sameTotals(sum(), expectedTotals(t.data.values))) {
        state.SkipWithError(wrong);
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(sum());
    state.SetItemsProcessed(state.iterations() * t.data.rows);
}

// The floor of the walk: the same sums read straight from the records of the table's view.
void floorTotals(benchmark::State& state) {
    guarded(state, [&] {
        FoodTables t(state);
        const auto f = summedFields(*t.table.store());
        auto sum = [&] {
            Totals totals;
            for (const RecordEntry* entry : t.table.recordView()) {
                const double q = readSlot<double>(slotOf(entry->data, *f[0]));
                totals.kcalorie += readSlot<double>(slotOf(entry->data, *f[1])) * q / 100;
                totals.glucidi += readSlot<double>(slotOf(entry->data, *f[2])) * q / 100;
                totals.lipidi += readSlot<double>(slotOf(entry->data, *f[3])) * q / 100;
                totals.proteine += readSlot<double>(slotOf(entry->data, *f[4])) * q / 100;
            }
            return totals;
        };
        timeSums(state, t, sum, "the floor does not give the table's totals");
    });
}

// Below the floor: the cache lines the sums read, each touched once and nothing computed. At a
// million rows they come from memory, at 100,000 mostly from the cache, so how this grows is
// the least any walk over the records can grow by.
void touchTotalsLines(benchmark::State& state) {
    guarded(state, [&] {
        FoodTables t(state);
        int32_t first = std::numeric_limits<int32_t>::max();
        int32_t last = 0;
        for (const TZerovField* f : summedFields(*t.table.store())) {
            first = std::min(first, f->slotOffset);
            last = std::max(last, f->slotOffset + 7);
        }
        // The five values lie within one stretch shorter than a line: its first and last bytes
        // are on every line it spans. The entry's line is read for the record's address.
        if (last - first >= 64) {
            state.SkipWithError("the summed values do not lie together");
            return;
        }
        auto touch = [&] {
            uint64_t bytes = 0;
            for (const RecordEntry* entry : t.table.recordView())
                bytes += entry->data[first] + entry->data[last];
            return bytes;
        };
        for (auto _ : state)
            benchmark::DoNotOptimize(touch());
        state.SetItemsProcessed(state.iterations() * t.data.rows);
    });
}

// What a column of the summed values kept apart from the records would give: the same sums, in
// the same order, over the five values of each row copied next to one another (40 bytes a row
// instead of the record's lines).
void columnTotals(benchmark::State& state) {
    guarded(state, [&] {
        FoodTables t(state);
        const auto f = summedFields(*t.table.store());
        std::vector<double> column;
        column.reserve(t.table.recordView().size() * f.size());
        for (const RecordEntry* entry : t.table.recordView())
            for (const TZerovField* field : f)
                column.push_back(readSlot<double>(slotOf(entry->data, *field)));
        auto sum = [&] {
            Totals totals;
            for (size_t at = 0; at < column.size(); at += 5) {
                const double q = column[at];
                totals.kcalorie += column[at + 1] * q / 100;
                totals.glucidi += column[at + 2] * q / 100;
                totals.lipidi += column[at + 3] * q / 100;
                totals.proteine += column[at + 4] * q / 100;
            }
            return totals;
        };
        timeSums(state, t, sum, "the column does not give the table's totals");
    });
}

// ---- Sorting by a column ----

// A click on a column title: IndexFieldNames set to the column's field on a table shown in
// file order, which is put back while the clock stands.
void datasetSort(benchmark::State& state, const char* field, bool caseInsensitive,
                 bool withTotals) {
    guarded(state, [&] {
        FoodTables t(state, withTotals);
        if (caseInsensitive)
            t.table.setSortOptions({vsoCaseInsensitive});
        t.startCounting();
        for (auto _ : state) {
            t.table.setIndexFieldNames(field);

            t.pause();
            const bool sorted = t.table.viewSorted() && t.table.recordCount() == t.data.rows;
            t.table.setIndexFieldNames("");
            t.resume();
            if (!sorted) {
                state.SkipWithError("the view was not sorted whole");
                break;
            }
        }
        state.SetItemsProcessed(state.iterations() * t.data.rows);
    });
}

// ---- Filtering ----

// Filtered set on the food table with a record filter; setting it again chooses the records
// again, so every iteration does the whole work. The view must keep `expected` rows.
void filterEvery(benchmark::State& state, FoodTables& t, int expected) {
    t.startCounting();
    for (auto _ : state) {
        t.table.setFiltered(true);
        if (t.table.recordCount() != expected) {
            state.SkipWithError("the filter kept the wrong rows");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * t.data.rows);
}

// "Show used rows only": the program's quantity test.
void datasetFilterUsed(benchmark::State& state, bool withTotals) {
    guarded(state, [&] {
        FoodTables t(state, withTotals);
        TField* quantita = t.table.fieldByName("Quantita");
        t.table.setOnFilterRecord(
            [quantita](TDataSet*, bool& accept) { accept = quantita->floatValue() != 0; });
        filterEvery(state, t, usedRows(t.data));
    });
}

// "Show all rows": Filtered off, the view rebuilt with every record.
void datasetFilterOff(benchmark::State& state, bool withTotals) {
    guarded(state, [&] {
        FoodTables t(state, withTotals);
        t.startCounting();
        for (auto _ : state) {
            t.table.setFiltered(false);
            if (t.table.recordCount() != t.data.rows) {
                state.SkipWithError("the view lost rows");
                break;
            }
        }
        state.SetItemsProcessed(state.iterations() * t.data.rows);
    });
}

// ---- The find box ----

// The find box in filter style, anywhere in the name: each candidate's name upper-cased and
// searched for the (upper-cased) text.
void datasetFindFilter(benchmark::State& state, bool withTotals) {
    guarded(state, [&] {
        FoodTables t(state, withTotals);
        TField* nome = t.table.fieldByName("Nome");
        t.table.setOnFilterRecord([nome](TDataSet*, bool& accept) {
            accept = nameHolds(nome->stringValue(), kFindText);
        });
        int expected = 0;
        for (const FoodRow& row : t.data.values)
            expected += nameHolds(row.nome, kFindText);
        filterEvery(state, t, expected);
    });
}

// The find box in navigate style: locate with a partial key without regard to case, for a
// beginning no name has, so every record is looked at.
void datasetLocate(benchmark::State& state) {
    guarded(state, [&] {
        FoodTables t(state);
        const TLocateOptions options{loCaseInsensitive, loPartialKey};
        const TVariant text{AnsiString(kMissingPrefix)};
        for (auto _ : state) {
            if (t.table.locate("Nome", text, options)) {
                state.SkipWithError("locate found a name that no food has");
                break;
            }
        }
        state.SetItemsProcessed(state.iterations() * t.data.rows);
    });
}

// ---- Editing ----

// A quantity typed into the grid: edit, set the float, post, on a record in the middle of the
// table.
void datasetEditPost(benchmark::State& state, bool withTotals) {
    guarded(state, [&] {
        FoodTables t(state, withTotals);
        t.table.moveToRecordNumber(t.data.rows / 2);
        TField* quantita = t.table.fieldByName("Quantita");
        double value = 0;
        t.startCounting();
        for (auto _ : state) {
            value = value < 500 ? value + 5 : 5;
            t.table.beginEdit();
            quantita->setFloatValue(value);
            t.table.postRecord();
        }
        if (t.table.store()->entryCount() != t.data.rows || quantita->floatValue() != value)
            state.SkipWithError("the edit did not land");
    });
}

// "Zero all quantities" as the program does it: controls suspended, a walk over the shown
// rows putting each non-zero quantity to 0 through edit and post, back to the first row,
// controls resumed. The quantities come back (discardChanges) while the clock stands.
void datasetZeroAll(benchmark::State& state, bool withTotals) {
    guarded(state, [&] {
        FoodTables t(state, withTotals);
        TField* quantita = t.table.fieldByName("Quantita");
        const int expected = usedRows(t.data);
        t.startCounting();
        for (auto _ : state) {
            int zeroed = 0;
            t.table.suspendControls();
            t.table.moveFirst();
            while (!t.table.atEnd()) {
                if (quantita->floatValue() != 0) {
                    t.table.beginEdit();
                    quantita->setFloatValue(0);
                    t.table.postRecord();
                    ++zeroed;
                }
                t.table.moveNext();
            }
            t.table.moveFirst();
            t.table.resumeControls();

            t.pause();
            t.table.discardChanges();
            t.resume();
            if (zeroed != expected) {
                state.SkipWithError("zeroing did not meet every used row");
                break;
            }
        }
        state.SetItemsProcessed(state.iterations() * t.data.rows);
    });
}

void oneSize(benchmark::internal::Benchmark* b) {
    b->Arg(kRows)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

void registerDatasetBenchmarks() {
    using benchmark::RegisterBenchmark;
    RegisterBenchmark("open/dataset/plain", datasetOpen, false)->Apply(oneSize);
    RegisterBenchmark("open/dataset/enciphered", datasetOpen, true)->Apply(oneSize);

    RegisterBenchmark("totals/floor", floorTotals)->Apply(oneSize);
    RegisterBenchmark("totals/lines", touchTotalsLines)->Apply(oneSize);
    RegisterBenchmark("totals/column", columnTotals)->Apply(oneSize);
    RegisterBenchmark("totals/dataset/table", datasetTotals, false)->Apply(oneSize);
    RegisterBenchmark("totals/dataset/clone", datasetTotals, true)->Apply(oneSize);

    // Each command on the dataset alone, then as the program runs it: with the data source
    // that walks the clone for the totals on every data change.
    for (const char* kind : {"dataset", "program"}) {
        const bool program = std::string_view(kind) == "program";
        auto name = [kind](const char* command, const char* detail = "") {
            return std::string(command) + "/" + kind + detail;
        };
        RegisterBenchmark(name("sortView", "/Nome").c_str(), datasetSort, "Nome", false, program)
            ->Apply(oneSize);
        if (!program) {
            RegisterBenchmark(name("sortView", "/NomeNoCase").c_str(), datasetSort, "Nome", true,
                              false)
                ->Apply(oneSize);
            RegisterBenchmark(name("sortView", "/Kcalorie").c_str(), datasetSort, "Kcalorie", false,
                              false)
                ->Apply(oneSize);
        }
        RegisterBenchmark(name("filter", "/used").c_str(), datasetFilterUsed, program)
            ->Apply(oneSize);
        RegisterBenchmark(name("filter", "/off").c_str(), datasetFilterOff, program)
            ->Apply(oneSize);
        RegisterBenchmark(name("find", "/filter").c_str(), datasetFindFilter, program)
            ->Apply(oneSize);
        if (!program)
            RegisterBenchmark(name("find", "/locate").c_str(), datasetLocate)->Apply(oneSize);
        auto* edit = RegisterBenchmark(name("edit", "/post").c_str(), datasetEditPost, program)
                         ->Apply(oneSize);
        if (!program)
            edit->Unit(benchmark::kMicrosecond);
        RegisterBenchmark(name("zeroAll").c_str(), datasetZeroAll, program)->Apply(oneSize);
    }
}

} // namespace cibrano::bench

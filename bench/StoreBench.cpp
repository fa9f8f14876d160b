// The record store against the physical floor: what it costs to get a table from its file into
// memory, to write it back and to sort it, next to what merely moving (and deciphering) the same
// bytes costs.

#include "bench/Benchmarks.h"
#include "bench/FoodTable.h"

#include "engine/file/Sapphire.h"
#include "engine/file/ZerovCursor.h"
#include "platform/Files.h"
#include "platform/Stream.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace cibrano::bench {

namespace {

void loadFile(TMemoryStream& stream, const std::string& path) {
    std::string reason;
    if (!stream.loadFromFile(path, &reason)) {
        std::fprintf(stderr, "bench: cannot read %s: %s\n", path.c_str(), reason.c_str());
        std::exit(1);
    }
}

void countWork(benchmark::State& state, const FoodTable& table, size_t bytes) {
    state.SetItemsProcessed(state.iterations() * table.rows);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

// ---- Reading ----

// The floor of opening a table: its file's bytes in memory, deciphered when enciphered.
void floorRead(benchmark::State& state, bool enciphered) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    const std::string& path = enciphered ? table.encipheredFile : table.plainFile;
    TSapphire cipher;
    for (auto _ : state) {
        {
            TMemoryStream stream;
            loadFile(stream, path);
            if (enciphered) {
                cipher.setKey(table.bodyKey);
                cipher.decipher(stream.memory() + table.encipheredBodyOffset,
                                stream.size() - table.encipheredBodyOffset);
            }
            benchmark::DoNotOptimize(stream.memory());
            benchmark::ClobberMemory();
        }
        state.PauseTiming();
        settleFreedMemory();
        state.ResumeTiming();
    }
    countWork(state, table, enciphered ? table.encipheredImage.size() : table.plainImage.size());
}

// Opening a table as the table component does: the store reads the file a piece at a time,
// deciphering and parsing each piece. Throwing the store away afterwards is not part of
// opening.
void engineRead(benchmark::State& state, bool enciphered) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    const std::string& path = enciphered ? table.encipheredFile : table.plainFile;
    AnsiString message;
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<TZerovCursor>();
        store->setPassword(kPassword);
        state.ResumeTiming();

        const bool whole = store->readTableFile(path, message) == TZerovCursor::FileRead::loaded &&
                           store->entryCount() == table.rows;
        if (!whole) {
            state.SkipWithError("the table did not read back whole");
            break;
        }

        state.PauseTiming();
        store.reset();
        settleFreedMemory();
        state.ResumeTiming();
    }
    countWork(state, table, enciphered ? table.encipheredImage.size() : table.plainImage.size());
}

// ---- Writing ----

// The floor of writing an image: its bytes copied into a new memory stream, enciphered on the
// way when the table has a password.
void floorWriteImage(benchmark::State& state, bool enciphered) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    const std::string& image = enciphered ? table.encipheredImage : table.plainImage;
    TSapphire cipher;
    for (auto _ : state) {
        TMemoryStream stream;
        stream.reserve(image.size());
        stream.write(image.data(), image.size());
        if (enciphered) {
            cipher.setKey(table.bodyKey);
            cipher.encipher(stream.memory() + table.encipheredBodyOffset,
                            stream.size() - table.encipheredBodyOffset);
        }
        benchmark::DoNotOptimize(stream.memory());
        benchmark::ClobberMemory();
    }
    countWork(state, table, image.size());
}

void engineWriteImage(benchmark::State& state, bool enciphered) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    TZerovCursor store;
    loadImage(store, table.plainImage);
    if (enciphered)
        store.setPassword(kPassword);
    const size_t size = enciphered ? table.encipheredImage.size() : table.plainImage.size();
    for (auto _ : state) {
        TMemoryStream stream;
        stream.reserve(size);
        benchmark::DoNotOptimize(store.writeTableImage(stream));
        benchmark::ClobberMemory();
    }
    countWork(state, table, size);
}

// The floor of saving: the finished image written to a new file that replaces the old one
// (flushed to disk and renamed), enciphered first when the table has a password.
void floorSave(benchmark::State& state, bool enciphered) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    const std::string& image = enciphered ? table.encipheredImage : table.plainImage;
    const std::string path = scratchFolder() + "floor-save.d";
    TSapphire cipher;
    std::string bytes = image;
    for (auto _ : state) {
        if (enciphered) {
            cipher.setKey(table.bodyKey);
            cipher.encipher(reinterpret_cast<uint8_t*>(bytes.data()) + table.encipheredBodyOffset,
                            bytes.size() - table.encipheredBodyOffset);
        }
        AtomicFileWriter file(path);
        file.write(bytes.data(), bytes.size());
        file.commit();
    }
    countWork(state, table, image.size());
}

void engineSave(benchmark::State& state, bool enciphered) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    TZerovCursor store;
    loadImage(store, table.plainImage);
    if (enciphered)
        store.setPassword(kPassword);
    const std::string path = scratchFolder() + "engine-save.d";
    for (auto _ : state)
        store.saveTableFile(path, {}, false, "");
    countWork(state, table, enciphered ? table.encipheredImage.size() : table.plainImage.size());
}

// ---- Building and sorting ----

// A new table filled record by record, as an import does: the peer of SQLite's inserts.
void enginePutRecords(benchmark::State& state) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto store = std::make_unique<TZerovCursor>();
        createFoodTable(*store);
        putFoodRows(*store, table.values);
        state.PauseTiming();
        store.reset();
        settleFreedMemory();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * table.rows);
}

// Every iteration sorts the records in the order of the file (the rows' random order), which
// is reloaded while the clock stands.
void engineSort(benchmark::State& state, const char* fieldName, bool caseInsensitive) {
    const FoodTable& table = foodTable(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<TZerovCursor>();
        loadImage(*store, table.plainImage);
        state.ResumeTiming();

        store->sortRecords(fieldName, caseInsensitive);

        state.PauseTiming();
        store.reset();
        settleFreedMemory();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * table.rows);
}

void readScaling(benchmark::internal::Benchmark* b) {
    b->Arg(10'000)->Arg(kRows)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

void oneSize(benchmark::internal::Benchmark* b) {
    b->Arg(kRows)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

void registerStoreBenchmarks() {
    using benchmark::RegisterBenchmark;
    RegisterBenchmark("read/floor/plain", floorRead, false)->Apply(readScaling);
    RegisterBenchmark("read/engine/plain", engineRead, false)->Apply(readScaling);
    RegisterBenchmark("read/floor/enciphered", floorRead, true)->Apply(readScaling);
    RegisterBenchmark("read/engine/enciphered", engineRead, true)->Apply(readScaling);

    RegisterBenchmark("writeImage/floor/plain", floorWriteImage, false)->Apply(oneSize);
    RegisterBenchmark("writeImage/engine/plain", engineWriteImage, false)->Apply(oneSize);
    RegisterBenchmark("writeImage/floor/enciphered", floorWriteImage, true)->Apply(oneSize);
    RegisterBenchmark("writeImage/engine/enciphered", engineWriteImage, true)->Apply(oneSize);

    RegisterBenchmark("save/floor/plain", floorSave, false)->Apply(oneSize);
    RegisterBenchmark("save/engine/plain", engineSave, false)->Apply(oneSize);
    RegisterBenchmark("save/floor/enciphered", floorSave, true)->Apply(oneSize);
    RegisterBenchmark("save/engine/enciphered", engineSave, true)->Apply(oneSize);

    RegisterBenchmark("load/engine", enginePutRecords)->Apply(oneSize);
    RegisterBenchmark("sort/engine/Nome", engineSort, "Nome", true)->Apply(oneSize);
    RegisterBenchmark("sort/engine/Kcalorie", engineSort, "Kcalorie", false)->Apply(oneSize);
}

} // namespace cibrano::bench

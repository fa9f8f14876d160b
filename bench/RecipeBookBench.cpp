// The recipe book under a user's commands, on the program's food file of 1,000,000 rows:
// loading a recipe of 50 lines into the food table (every other quantity back to 0, one
// recomputation of the totals), saving the food table's 50 used rows as a recipe (both book
// files written, enciphered, atomically), and opening the book's window on a book of 10,000
// recipes and 200,000 lines (both files read and deciphered, the lines of recipes that are
// gone looked for, the link made, the first recipe's values, and with the windows built the
// dialog made and painted at its stored size).
//
// Putting the program back for the next iteration runs while the clock stands, and so does
// closing: the window and the book put away after an opening belong to no opening (in the
// program the book lives as long as the main window).

#include "bench/Benchmarks.h"
#include "bench/FoodTable.h"
#include "bench/ProgramSession.h"

#include "engine/file/NewTableFile.h"
#include "engine/record/FieldValues.h"
#include "platform/Files.h"
#include "platform/Format.h"
#include "recipe/RecipeBook.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef CIBRANO_BENCH_WINDOWS
#include "app/BookDialog.h"

#include <QImage>
#endif

namespace cibrano::bench {

namespace {

constexpr int kFoodRows = 1'000'000;
constexpr int kRecipeLines = 50;
constexpr int kBookRecipes = 10'000;
constexpr int kLinesPerRecipe = 20;

template <typename Body> void guarded(benchmark::State& state, Body body) {
    try {
        body();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

void removeBookFiles(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::remove(folder + RecipeBook::kRecipesFile, ignored);
    std::filesystem::remove(folder + RecipeBook::kLinesFile, ignored);
}

// The food table with exactly `count` used rows, spread over the table from `first` on, every
// other quantity 0.
void useRows(RecipeCalculator& calc, int first, int count) {
    calc.ZeroAllQuantities();
    TZerovTable& food = *calc.Table1;
    const int step = food.recordCount() / count;
    for (int i = 0; i < count; ++i) {
        food.moveToRecordNumber(first + i * step);
        food.beginEdit();
        calc.Table1Quantita->setFloatValue(10.0 + i);
        food.postRecord();
    }
}

// The program on the million-row food file with its book in the same folder, holding two
// recipes of 50 lines: A and B, B being the food table's current quantities.
struct BookSession {
    BookSession() : folder(programFolder(kFoodRows)), session(folder) {
        removeBookFiles(folder);
        session.open();
        book = std::make_unique<RecipeBook>(session.calc());
        book->open();
        useRows(session.calc(), 1, kRecipeLines);
        recipeA = book->saveCurrentRecipe("Ricetta A", 4, false);
        useRows(session.calc(), 7, kRecipeLines);
        recipeB = book->saveCurrentRecipe("Ricetta B", 2, false);
    }
    ~BookSession() {
        book.reset();
        session.discard();
        removeBookFiles(folder);
    }
    std::string folder;
    ProgramSession session;
    std::unique_ptr<RecipeBook> book;
    int recipeA = 0;
    int recipeB = 0;
};

// Loading recipe A over recipe B's quantities: 100 rows change, one pass over the million.
void bookLoadRecipe(benchmark::State& state) {
    guarded(state, [&] {
        BookSession s;
        const int walksBefore = s.session.walks();
        int loads = 0;
        for (auto _ : state) {
            const RecipeLoadResult result = s.book->loadRecipe(s.recipeA);
            state.PauseTiming();
            ++loads;
            if (result.loaded != kRecipeLines) {
                state.SkipWithError("the recipe did not load whole");
                state.ResumeTiming();
                break;
            }
            s.book->loadRecipe(s.recipeB);
            ++loads;
            settleFreedMemory();
            state.ResumeTiming();
        }
        state.counters["walks"] =
            benchmark::Counter(static_cast<double>(s.session.walks() - walksBefore) / loads);
        state.SetItemsProcessed(state.iterations() * kFoodRows);
    });
}

// Saving the current quantities under a name kept already (replacing it): the million rows
// read once, the recipe's lines replaced, both files written.
void bookSaveCurrent(benchmark::State& state) {
    guarded(state, [&] {
        BookSession s;
        for (auto _ : state) {
            s.book->saveCurrentRecipe("Ricetta B", 3, true);
            state.PauseTiming();
            settleFreedMemory();
            state.ResumeTiming();
        }
        state.SetItemsProcessed(state.iterations() * kFoodRows);
    });
}

// A folder with a small food table and a book of 10,000 recipes of 20 lines each, made once:
// in today's layout (every value of a label, the final weight), or as the book was written
// when its lines kept four values (opened, it gains the other fields as it loads).
std::string bigBookFolder(bool fourValues = false) {
    static std::string folders[2];
    std::string& folder = folders[fourValues ? 1 : 0];
    if (!folder.empty())
        return folder;
    const std::string path = scratchFolder() + "book-" + std::to_string(kBookRecipes) +
                             (fourValues ? "-four-values/" : "/");
    std::filesystem::create_directories(path);
    std::filesystem::copy_file(programFolder(10'000) + RecipeCalculator::kTableName,
                               path + RecipeCalculator::kTableName,
                               std::filesystem::copy_options::overwrite_existing);
    const std::vector<FoodRow>& foods = foodTable(10'000).values;

    // The tables through the store, as a tool would write them.
    auto fill = [&](const char* file, const std::vector<FieldDescription>& fields, int count,
                    auto&& valuesOf) {
        createTableFile(path + file, fields, RecipeCalculator::kTablePassword);
        TZerovTable table;
        table.setTableName(path + file);
        table.setPassword(RecipeCalculator::kTablePassword);
        table.open();
        TZerovCursor& store = *table.store();
        for (int i = 0; i < count; ++i) {
            uint8_t* buffer = store.newRecordBuffer();
            const std::vector<std::string> texts = valuesOf(i);
            for (int f = 0; f < store.fieldCount(); ++f)
                if (!texts[static_cast<size_t>(f)].empty())
                    fieldValueFromText(buffer + store.fieldAt(f)->slotOffset,
                                       texts[static_cast<size_t>(f)], *store.fieldAt(f));
            AnsiString message;
            if (!store.putRecord(buffer, nullptr, message))
                throw std::runtime_error(message);
            store.freeRecordValues(buffer);
            delete[] buffer;
        }
        store.commitAllChanges();
        store.saveTableFile(path + file, {}, false, "");
    };
    std::vector<FieldDescription> recipeFields = {{"Codice", ftAutoInc, 0},
                                                  {"Nome", ftString, 50},
                                                  {"Porzioni", ftInteger, 0},
                                                  {"Note", ftMemo, 0},
                                                  {"Modificata", ftDateTime, 0}};
    std::vector<FieldDescription> lineFields = {{"Ricetta", ftInteger, 0},
                                                {"Gruppo", ftString, 30},
                                                {"Nome", ftString, 50},
                                                {"Quantita", ftFloat, 0},
                                                {"Kcalorie", ftFloat, 0},
                                                {"Glucidi", ftFloat, 0},
                                                {"Lipidi", ftFloat, 0},
                                                {"Proteine", ftFloat, 0}};
    if (!fourValues) {
        recipeFields.push_back({"PesoFinale", ftFloat, 0});
        for (const char* name : {"Kjoule", "Zuccheri", "Saturi", "Fibre", "Sale"})
            lineFields.push_back({name, ftFloat, 0});
        lineFields.push_back({"Mancanti", ftString, 100});
    }
    fill(RecipeBook::kRecipesFile, recipeFields, kBookRecipes,
         [&](int i) -> std::vector<std::string> {
             return {"", formatText("Ricetta %05d", i + 1), std::to_string(1 + i % 8), "", "",
                     fourValues || i % 3 ? "" : std::to_string(500 + i % 700)};
         });
    fill(RecipeBook::kLinesFile, lineFields, kBookRecipes * kLinesPerRecipe,
         [&](int i) -> std::vector<std::string> {
             const FoodRow& f = foods[static_cast<size_t>(i * 7919) % foods.size()];
             std::vector<std::string> line = {std::to_string(1 + i / kLinesPerRecipe),
                                              f.gruppo,
                                              f.nome,
                                              std::to_string(10 + i % 300),
                                              formatText("%.1f", f.kcalorie),
                                              formatText("%.2f", f.glucidi),
                                              formatText("%.2f", f.lipidi),
                                              formatText("%.2f", f.proteine)};
             if (!fourValues) {
                 // Made-up values of the same magnitudes; one line in seven lacks two.
                 line.push_back(formatText("%.0f", f.kcalorie * 4.184));
                 line.push_back(formatText("%.2f", f.glucidi / 3));
                 line.push_back(formatText("%.2f", f.lipidi / 2));
                 line.push_back(i % 7 ? formatText("%.2f", f.glucidi / 20) : "");
                 line.push_back(i % 7 ? formatText("%.2f", f.proteine / 50) : "");
                 line.push_back(i % 7 ? "" : "Fibre Sale");
             }
             return line;
         });
    folder = path;
    return folder;
}

// Opening the book's window: the book made and opened from its two files, the first recipe's
// values, and (with the windows built) the dialog made with its two grids and painted.
void bookOpenDialog(benchmark::State& state, bool fourValues) {
    guarded(state, [&] {
        const std::string folder = bigBookFolder(fourValues);
        ProgramSession::startDisplay();
        ProgramSession session(folder);
        session.open();
        for (auto _ : state) {
            auto book = std::make_unique<RecipeBook>(session.calc());
#ifdef CIBRANO_BENCH_WINDOWS
            auto dialog = std::make_unique<BookDialog>(*book);
            QImage image(dialog->size(), QImage::Format_ARGB32_Premultiplied);
            dialog->render(&image);
#else
            book->open();
            benchmark::DoNotOptimize(book->valuesOf(*book->currentCode()));
#endif
            state.PauseTiming();
            const bool whole = book->recipes().size() == static_cast<size_t>(kBookRecipes) &&
                               !book->readOnly() && book->Lines->recordCount() == kLinesPerRecipe;
#ifdef CIBRANO_BENCH_WINDOWS
            dialog.reset();
#endif
            book.reset();
            state.ResumeTiming();
            if (!whole) {
                state.SkipWithError("the book did not open whole");
                break;
            }
        }
        state.counters["dialog"] =
#ifdef CIBRANO_BENCH_WINDOWS
            1;
#else
            0;
#endif
    });
}

// The book's two files opened, without a window: the tables read and deciphered, the lines of
// recipes that are gone looked for, the link made.
void bookOpenFiles(benchmark::State& state) {
    guarded(state, [&] {
        const std::string folder = bigBookFolder();
        ProgramSession session(folder);
        session.open();
        for (auto _ : state) {
            auto book = std::make_unique<RecipeBook>(session.calc());
            book->open();
            state.PauseTiming();
            if (book->recipes().size() != static_cast<size_t>(kBookRecipes) || book->readOnly())
                state.SkipWithError("the book did not open whole");
            book.reset();
            state.ResumeTiming();
        }
    });
}

// The floor of opening the book: both files read and deciphered into stores of their own.
void bookReadFiles(benchmark::State& state) {
    guarded(state, [&] {
        const std::string folder = bigBookFolder();
        for (auto _ : state) {
            std::vector<std::unique_ptr<TZerovCursor>> stores;
            for (const char* file : {RecipeBook::kRecipesFile, RecipeBook::kLinesFile}) {
                auto& store = *stores.emplace_back(std::make_unique<TZerovCursor>());
                store.setPassword(RecipeCalculator::kTablePassword);
                AnsiString message;
                if (store.readTableFile(folder + file, message) != TZerovCursor::FileRead::loaded)
                    state.SkipWithError(message.c_str());
            }
            state.PauseTiming();
            stores.clear();
            state.ResumeTiming();
        }
    });
}

#ifdef CIBRANO_BENCH_WINDOWS
// The window opened again on a book already open in the run: the dialog and its grids made
// and painted.
void bookReopenDialog(benchmark::State& state) {
    guarded(state, [&] {
        const std::string folder = bigBookFolder();
        ProgramSession::startDisplay();
        ProgramSession session(folder);
        session.open();
        RecipeBook book(session.calc());
        book.open();
        for (auto _ : state) {
            BookDialog dialog(book);
            QImage image(dialog.size(), QImage::Format_ARGB32_Premultiplied);
            dialog.render(&image);
        }
    });
}
#endif

} // namespace

void registerRecipeBookBenchmarks() {
    using benchmark::RegisterBenchmark;
    RegisterBenchmark("book/loadRecipe50", bookLoadRecipe)
        ->Arg(kFoodRows)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("book/saveCurrent50", bookSaveCurrent)
        ->Arg(kFoodRows)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("book/openDialog", bookOpenDialog, false)
        ->Arg(kBookRecipes)
        ->Unit(benchmark::kMillisecond);
    // The same book as it was written when lines kept four values, opened by today's program.
    RegisterBenchmark("book/openDialogFourValues", bookOpenDialog, true)
        ->Arg(kBookRecipes)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("book/openFiles", bookOpenFiles)
        ->Arg(kBookRecipes)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("book/readFiles", bookReadFiles)
        ->Arg(kBookRecipes)
        ->Unit(benchmark::kMillisecond);
#ifdef CIBRANO_BENCH_WINDOWS
    RegisterBenchmark("book/reopenDialog", bookReopenDialog)
        ->Arg(kBookRecipes)
        ->Unit(benchmark::kMillisecond);
#endif
}

} // namespace cibrano::bench

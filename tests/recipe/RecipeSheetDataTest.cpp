// What a recipe's sheet and CSV hold, without a window: the energy split and its notes, the
// per-100 g texts of a recipe that weighs nothing, the CSV read back, exports that cannot be
// written, the book read from its files alone, and the current quantities' sheet, which leaves
// a new row nothing was typed into as the grid leaves it.

#include "recipe/RecipeSheetData.h"
#include "platform/Csv.h"
#include "recipe/RecipeCsv.h"
#include "recipe/RecipeEnergy.h"
#include "tests/recipe/RecipeBookTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testkit::messageOf;

NutrientTotals totals(double glucidi, double proteine, double lipidi, double kcalorie) {
    NutrientTotals t;
    t.amount[nGlucidi] = glucidi;
    t.amount[nProteine] = proteine;
    t.amount[nLipidi] = lipidi;
    t.amount[nKcalorie] = kcalorie;
    return t;
}

TEST(RecipeEnergy, SharesComeFromTheFactorsAndADifferenceAboveTenPercentIsSaid) {
    FixedRegionalSettings settings;
    // 50 g carbohydrates, 25 g proteins, 20 g fats: 200 + 100 + 180 = 480 kcal.
    EnergySplit s = energySplit(totals(50, 25, 20, 480));
    EXPECT_DOUBLE_EQ(s.carbs, 200);
    EXPECT_DOUBLE_EQ(s.proteins, 100);
    EXPECT_DOUBLE_EQ(s.fats, 180);
    EXPECT_DOUBLE_EQ(s.sum, 480);
    EXPECT_DOUBLE_EQ(s.carbsShare, 200.0 * 100 / 480);
    EXPECT_DOUBLE_EQ(s.fatsShare, 37.5);
    EXPECT_TRUE(s.drawable());
    EXPECT_FALSE(s.differsFromTable());
    EXPECT_EQ(energyDifferenceNote(s), "");
    EXPECT_EQ(formatShare(s.fatsShare), "37.5 %");

    // 440 kcal in the table: 40 apart, within 10 % of 440. 400 kcal: 80 apart, beyond 40.
    EXPECT_FALSE(energySplit(totals(50, 25, 20, 440)).differsFromTable());
    s = energySplit(totals(50, 25, 20, 400));
    EXPECT_TRUE(s.differsFromTable());
    EXPECT_EQ(energyDifferenceNote(s),
              "La ripartizione usa la convenzione di 4, 4 e 9\xA0kcal/g: d\xE0 480.0\xA0kcal, il "
              "20.0\xA0% in pi\xF9 delle 400.0\xA0kcal della tabella degli alimenti; controllare i "
              "valori degli alimenti.");
    EXPECT_THAT(energyDifferenceNote(energySplit(totals(10, 0, 0, 50))),
                HasSubstr("20.0\xA0% in meno"));
    // A table without kilocalories differs from any energy at all.
    EXPECT_TRUE(energySplit(totals(1, 0, 0, 0)).differsFromTable());
    EXPECT_THAT(energyDifferenceNote(energySplit(totals(1, 0, 0, 0))),
                HasSubstr("non d\xE0 energia"));
    EXPECT_THAT(energyFactorsText(),
                HasSubstr("glucidi 4\xA0kcal/g, proteine 4\xA0kcal/g, lipidi 9\xA0kcal/g"));
}

TEST(RecipeEnergy, NoEnergyOrANegativePartGivesAnEmptyChartWithANote) {
    const EnergySplit none = energySplit(totals(0, 0, 0, 0));
    EXPECT_FALSE(none.drawable());
    EXPECT_EQ(none.carbsShare + none.proteinsShare + none.fatsShare, 0);
    EXPECT_THAT(energyEmptyNote(none), HasSubstr("Nessuna energia"));
    EXPECT_EQ(energyDifferenceNote(none), "");

    // A negative quantity of a fat food: the parts do not make a pie.
    const EnergySplit negative = energySplit(totals(30, 10, -5, 100));
    EXPECT_FALSE(negative.drawable());
    EXPECT_THAT(energyEmptyNote(negative), HasSubstr("negativa"));
    EXPECT_EQ(energyEmptyNote(energySplit(totals(1, 1, 1, 17))), "");
}

TEST(RecipeSheetData, ARecipeOfNoGramsShowsADashPer100g) {
    FixedRegionalSettings settings;
    RecipeInfo info;
    info.Nome = "Niente";
    info.Porzioni = 2;
    // 100 g and -100 g: energy, but no weight.
    const RecipeSheetData s = recipeSheet(
        info, {{"A", "a", 100, {50, 10, 1, 2}, {}}, {"B", "b", -100, {20, 5, 0, 1}, {}}});
    EXPECT_FALSE(s.values.per100g);
    EXPECT_EQ(per100gTexts(s.values), std::vector<AnsiString>(kNutrientCount, "\x97"));
    EXPECT_THAT(shownTotalsTexts(s.values.totals),
                ElementsAre("5.0", "1.0", "1.0", "30.0", "0.0", "0.0", "0.0", "0.0", "0.00"));
    EXPECT_EQ(s.servings, 2);
}

// The cells of every record of a CSV text.
std::vector<std::vector<std::string>> readCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    CsvReader reader(text);
    CsvRecord record;
    while (reader.next(record))
        rows.push_back(record.cells);
    return rows;
}

TEST(RecipeCsv, ReadsBackToTheLinesAndTheSameTotals) {
    RecipeInfo info;
    info.Nome = "Pasta \"della casa\", al rag\xF9";
    info.Porzioni = 3;
    const std::vector<RecipeLine> lines = {
        {"Cereali", "Pasta, di semola", 320, {353, 79.1, 1.4, 10.9}, {}},
        {"Verdure", "Pomodori", 400.5, {22, 3, 0.2, 1.2}, {}}};
    const RecipeSheetData s = recipeSheet(info, lines);
    const auto rows = readCsv(recipeCsv(s));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_THAT(rows[0], ElementsAre("Gruppo", "Nome", "Quantita", "Kcalorie", "Glucidi", "Lipidi",
                                     "Proteine", "Kjoule", "Zuccheri", "Saturi", "Fibre", "Sale",
                                     "Mancanti"));
    EXPECT_THAT(rows[1], ElementsAre("Cereali", "Pasta, di semola", "320", "353", "79.1", "1.4",
                                     "10.9", "0", "0", "0", "0", "0", ""));
    EXPECT_THAT(rows[2], ElementsAre("Verdure", "Pomodori", "400.5", "22", "3", "0.2", "1.2", "0",
                                     "0", "0", "0", "0", ""));
    const std::string name = "Pasta \"della casa\", al rag\xC3\xB9"; // UTF-8
    auto expectRow = [&](const std::vector<std::string>& row, const char* what, double grams,
                         const NutrientTotals& t) {
        ASSERT_EQ(row.size(), 13u);
        EXPECT_EQ(row[0], what);
        EXPECT_EQ(row[1], name);
        // Worked-out numbers with at most six decimals.
        EXPECT_NEAR(std::stod(row[2]), grams, 5e-7);
        for (size_t i = 0; i < kNutrientCount; ++i)
            EXPECT_NEAR(std::stod(row[3 + i]), t.amount[i], 5e-7);
        EXPECT_EQ(row[12], "");
    };
    // 1129.6 + 88.11 is 1217.7099999999998 in binary; 720.5 / 3 is 240.1666...
    EXPECT_EQ(rows[3][3], "1217.71");
    EXPECT_EQ(rows[4][2], "240.166667");
    EXPECT_EQ(rows[3][2], "720.5");
    expectRow(rows[3], "Totale ricetta", 720.5, s.values.totals);
    expectRow(rows[4], "Per porzione", 720.5 / 3, s.values.perServing);
    expectRow(rows[5], "Per 100 g", 100, *s.values.per100g);
}

TEST(RecipeCsv, ARecipeOfNoGramsLeavesThePer100gValuesEmpty) {
    RecipeInfo info;
    info.Nome = "Vuota";
    const auto rows = readCsv(recipeCsv(recipeSheet(info, {})));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[3], (std::vector<std::string>{"Per 100 g", "Vuota", "100", "", "", "", "", "",
                                                 "", "", "", "", ""}));
}

TEST(RecipeExport, AFileThatCannotBeWrittenIsNamedAndNothingIsLeftBehind) {
    testkit::TempDir dir;
    RecipeInfo info;
    info.Nome = "Mela";
    const RecipeSheetData s = recipeSheet(info, {{"Frutta", "Mela", 100, {52, 14, 0.2, 0.3}, {}}});
    const std::string missing = dir.file("manca/mela.csv");
    EXPECT_THAT(messageOf([&] { writeRecipeCsv(s, missing); }),
                ::testing::AllOf(HasSubstr(missing), HasSubstr("non si pu\xF2 scrivere")));
    EXPECT_EQ(dir.entryCount(), 0u);
    // A folder where the file should go: the rename fails after every byte was written, and
    // the temporary file goes.
    std::filesystem::create_directory(dir.file("mela.csv"));
    EXPECT_THAT(messageOf([&] { writeRecipeCsv(s, dir.file("mela.csv")); }),
                HasSubstr(dir.file("mela.csv")));
    EXPECT_EQ(dir.entryCount(), 1u);
    // Written, it replaces what was there.
    writeFileAtomically(dir.file("old.csv"), "old");
    writeRecipeCsv(s, dir.file("old.csv"));
    EXPECT_EQ(readWholeFile(dir.file("old.csv")).value_or("").substr(0, 6), "Gruppo");
    EXPECT_EQ(dir.entryCount(), 2u);
}

class RecipeSheetOfBook : public RecipeBookFixture {};

TEST_F(RecipeSheetOfBook, TheFilesReadAloneGiveWhatTheBookShows) {
    FixedRegionalSettings settings;
    start();
    typePasta();
    const int pasta = book->saveCurrentRecipe("Pasta al pomodoro", 4, false);
    calc.ZeroAllQuantities();
    setQuantity("Mela", "300");
    const int mela = book->saveCurrentRecipe("Mela cotta", 2, false);

    RecipeBook files(recipesPath(), kFoodPassword);
    files.open();
    ASSERT_EQ(files.recipes().size(), 2u);
    EXPECT_EQ(files.linesPath(), linesPath());
    EXPECT_TRUE(files.readOnly());
    EXPECT_THROW(files.renameRecipe(pasta, "Pasta"), EDatabaseError);
    EXPECT_THROW(files.loadRecipe(pasta), EDatabaseError);
    for (int code : {pasta, mela}) {
        const RecipeSheetData fromBook = recipeSheet(*book, code);
        const std::optional<int> found = files.findRecipe(fromBook.name);
        ASSERT_TRUE(found);
        const RecipeSheetData fromFiles = recipeSheet(*files.recipe(*found), files.linesOf(*found));
        EXPECT_EQ(fromFiles.name, fromBook.name);
        EXPECT_EQ(fromFiles.servings, fromBook.servings);
        EXPECT_EQ(fromFiles.date, clock);
        ASSERT_EQ(fromFiles.lines.size(), fromBook.lines.size());
        for (size_t i = 0; i < fromBook.lines.size(); ++i) {
            EXPECT_EQ(fromFiles.lines[i].Nome, fromBook.lines[i].Nome);
            EXPECT_EQ(fromFiles.lines[i].Quantita, fromBook.lines[i].Quantita);
        }
        const RecipeValues v = book->valuesOf(code);
        EXPECT_EQ(fromFiles.values.totals.amount, v.totals.amount);
        EXPECT_EQ(fromFiles.values.perServing.amount, v.perServing.amount);
    }
    // The book's lines in the book's order: pasta, tomatoes, milk as the food table holds them.
    EXPECT_THAT(std::vector<AnsiString>({files.linesOf(pasta)[0].Nome, files.linesOf(pasta)[1].Nome,
                                         files.linesOf(pasta)[2].Nome}),
                ElementsAre("Pasta di semola", "Pomodori", "Latte intero"));

    EXPECT_TRUE(files.findRecipe("  pasta AL pomodoro "));
    EXPECT_FALSE(files.findRecipe("pasta"));
    EXPECT_THAT(files.closeNames("pasta al pomodor"), ElementsAre("Pasta al pomodoro"));
    EXPECT_THAT(files.closeNames("Mela"), ElementsAre("Mela cotta"));
    EXPECT_THAT(files.closeNames("Risotto ai funghi"), ElementsAre());
}

TEST_F(RecipeSheetOfBook, UnreadableBookFilesAreNamed) {
    start();
    typePasta();
    book->saveCurrentRecipe("Pasta", 1, false);
    // A wrong password, and no right one remembered from the book's own opening.
    session().forgetPassword(kFoodPassword);
    auto openError = [](const std::string& path, const char* password) {
        return messageOf([&] { RecipeBook(path, password).open(); });
    };
    EXPECT_THAT(openError(recipesPath(), "SBAGLIATA"),
                HasSubstr(recipesPath() + ": Invalid password"));
    std::filesystem::remove(linesPath());
    EXPECT_THAT(openError(recipesPath(), kFoodPassword), HasSubstr(linesPath()));
    // The food table is no recipe book.
    EXPECT_THAT(
        openError(tablePath(), kFoodPassword),
        HasSubstr(tablePath() + ": not a file of the recipe book (Field 'Codice' not found)"));
}

TEST_F(RecipeSheetOfBook, TheCurrentQuantitiesIncludeAValueBeingTyped) {
    start();
    typePasta();
    goTo("Mela");
    calc.Table1->beginEdit();
    calc.Table1Quantita->setStringValue("100");
    const RecipeSheetData s = currentQuantitiesSheet(calc, 2);
    EXPECT_FALSE(s.kept);
    EXPECT_EQ(s.name, kCurrentRecipeName);
    EXPECT_EQ(s.date, clock);
    ASSERT_EQ(s.lines.size(), 4u);
    EXPECT_EQ(s.lines[3].Nome, "Mela");
    EXPECT_EQ(s.values.grams, 500);
    EXPECT_EQ(s.servings, 2);
    // The same totals as the main window shows.
    EXPECT_EQ(s.values.totals.amount[nKcalorie], calc.ComputeTotals()->Kcalorie);
}

TEST_F(RecipeSheetOfBook, TheCurrentQuantitiesCarryTheNameOfTheRecipeTheyStillAre) {
    start();
    typePasta();
    EXPECT_EQ(currentQuantitiesSheet(*book, calc).name, kCurrentRecipeName);
    book->saveCurrentRecipe("Pasta", 3, false);
    const RecipeSheetData s = currentQuantitiesSheet(*book, calc);
    EXPECT_EQ(s.name, "Pasta");
    EXPECT_EQ(s.servings, 3);
    setQuantity("Mela", "10");
    EXPECT_EQ(currentQuantitiesSheet(*book, calc).name, kCurrentRecipeName);
}

TEST_F(RecipeSheetOfBook, ANewRowNothingWasTypedIntoIsNotStoredByTheCurrentSheet) {
    start();
    typePasta();
    const int rows = calc.Table1->recordCount();
    calc.Table1->beginAppend();
    const RecipeSheetData s = currentQuantitiesSheet(calc);
    EXPECT_EQ(s.lines.size(), 3u);
    EXPECT_EQ(calc.Table1->State(), stateBrowse);
    EXPECT_EQ(calc.Table1->recordCount(), rows) << "the empty row must go, as the grid lets it go";
}

} // namespace
} // namespace cibrano::testing

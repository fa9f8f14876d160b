// Every value of a label in the book: the lines keep what a full food table knows and name
// what it does not, and a book written when lines kept four values opens, and is upgraded by
// its first change without losing anything, even when that write fails or is cut short.

#include "platform/Abort.h"
#include "tests/engine/ZerovTableTestSupport.h"
#include "tests/platform/ErrorMessage.h"
#include "tests/recipe/RecipeBookTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testkit::messageOf;

class RecipeBookUpgrade : public RecipeBookFixture {
protected:
    // The book of four values in the working folder, and the calculator and book opened on it.
    void startOnOldBook() {
        copyGolden("book-of-four-values/ricette.d", "ricette.d");
        copyGolden("book-of-four-values/ingredienti.d", "ingredienti.d");
        start();
    }
    std::vector<std::string> headerOf(const std::string& path) {
        TZerovTable t;
        t.setTableName(path);
        t.setPassword(kFoodPassword);
        t.open();
        std::vector<std::string> names;
        for (int i = 0; i < t.store()->fieldCount(); ++i)
            names.push_back(t.store()->fieldAt(i)->fieldName);
        return names;
    }
    // Every recipe and line a fresh reading of the files gives, as text.
    std::vector<std::string> contents() {
        RecipeBook files(recipesPath(), kFoodPassword);
        files.open();
        std::vector<std::string> out;
        for (const RecipeInfo& r : files.recipes()) {
            out.push_back(r.Nome + "|" + std::to_string(r.Porzioni));
            for (const RecipeLine& l : files.linesOf(r.Codice)) {
                std::string line = "  " + l.Nome + " " + formatRecipeValue(l.Quantita);
                for (size_t i = 0; i < kNutrientCount; ++i)
                    line += " " + lineValueText(l, i);
                out.push_back(line);
            }
        }
        return out;
    }
};

TEST_F(RecipeBookUpgrade, AnOldBookOpensWritableAndItsFirstChangeWritesTheNewLayout) {
    startOnOldBook();
    const std::string recipesBefore = bytesOf(recipesPath()), linesBefore = bytesOf(linesPath());
    ASSERT_FALSE(book->readOnly()) << book->readOnlyReason();
    const std::vector<std::string> before = contents();
    EXPECT_THAT(before,
                ElementsAre("Pasta al pomodoro|4",
                            "  Pasta di semola 200.0 353.0 80.0 1.5 11.0 n.d. n.d. n.d. n.d. n.d.",
                            "  Pomodori 150.0 18.0 3.5 0.2 1.0 n.d. n.d. n.d. n.d. n.d.",
                            "Torta di mele|8",
                            "  Pane comune 100.0 275.0 60.0 1.0 8.0 n.d. n.d. n.d. n.d. n.d.",
                            "  Mela 600.0 52.0 14.0 0.2 0.3 n.d. n.d. n.d. n.d. n.d.",
                            "  Latte intero 50.0 64.0 5.0 3.6 3.3 n.d. n.d. n.d. n.d. n.d."));
    const int pasta = *book->findRecipe("Pasta al pomodoro");
    EXPECT_EQ(book->recipe(pasta)->PesoFinale, 0);
    const RecipeValues v = book->valuesOf(pasta);
    EXPECT_TRUE(v.totals.unknown(nZuccheri));
    EXPECT_TRUE(v.totals.complete(nKcalorie));
    // Opening wrote nothing.
    EXPECT_EQ(bytesOf(recipesPath()), recipesBefore);
    EXPECT_EQ(bytesOf(linesPath()), linesBefore);

    // A change of the recipes alone writes both files in the new layout.
    book->setFinalWeight(pasta, 300);
    EXPECT_EQ(headerOf(recipesPath()).back(), "PesoFinale");
    EXPECT_THAT(headerOf(linesPath()),
                ElementsAre("Ricetta", "Gruppo", "Nome", "Quantita", "Kcalorie", "Glucidi",
                            "Lipidi", "Proteine", "Kjoule", "Zuccheri", "Saturi", "Fibre", "Sale",
                            "Mancanti"));
    EXPECT_EQ(contents(), before);
    openBook();
    EXPECT_EQ(book->recipe(pasta)->PesoFinale, 300);
    EXPECT_EQ(book->recipe(pasta)->Note, "Cuocere la pasta al dente.");
    // A new recipe takes the next number after the old ones.
    typePasta();
    EXPECT_EQ(book->saveCurrentRecipe("Nuova", 2, false), 3);
}

TEST_F(RecipeBookUpgrade, AnUpgradeThatCannotBeWrittenLeavesBothFilesAndAKillBetweenThemOpens) {
    startOnOldBook();
    const std::string recipesBefore = bytesOf(recipesPath()), linesBefore = bytesOf(linesPath());
    const int cake = *book->findRecipe("Torta di mele");
    std::string message;
    {
        // A full disk: not a byte can be written.
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit full = saved;
        full.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &full);
        try {
            book->setServings(cake, 10);
        } catch (const std::exception& e) {
            message = e.what();
        }
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
    }
    EXPECT_THAT(message, HasSubstr(recipesPath()));
    EXPECT_EQ(bytesOf(recipesPath()), recipesBefore);
    EXPECT_EQ(bytesOf(linesPath()), linesBefore);
    EXPECT_EQ(book->recipe(cake)->Porzioni, 8);

    // The recipes file written in the new layout, the program killed before the lines file:
    // the two files as they are open, and nothing is lost.
    const std::vector<std::string> before = contents();
    book->setServings(cake, 10);
    const std::string newRecipes = bytesOf(recipesPath());
    writeFileAtomically(linesPath(), linesBefore);
    openBook();
    ASSERT_FALSE(book->readOnly()) << book->readOnlyReason();
    EXPECT_EQ(bytesOf(recipesPath()), newRecipes);
    EXPECT_EQ(book->recipe(cake)->Porzioni, 10);
    EXPECT_EQ(book->linesOf(cake).size(), 3u);
    EXPECT_EQ(contents().size(), before.size());
}

TEST_F(RecipeBookUpgrade, ALinesFileWithMancantiButWithoutANutrientReadsItAsNotKnown) {
    // Today's layout without Sale, as a nutrient added to the list later would meet it.
    std::vector<FieldDescription> fields = {
        {"Ricetta", ftInteger, 0},  {"Gruppo", ftString, 30}, {"Nome", ftString, 50},
        {"Quantita", ftFloat, 0},   {"Kcalorie", ftFloat, 0}, {"Glucidi", ftFloat, 0},
        {"Lipidi", ftFloat, 0},     {"Proteine", ftFloat, 0}, {"Kjoule", ftFloat, 0},
        {"Zuccheri", ftFloat, 0},   {"Saturi", ftFloat, 0},   {"Fibre", ftFloat, 0},
        {"Mancanti", ftString, 100}};
    copyGolden("book-of-four-values/ricette.d", "ricette.d");
    createTableFile(linesPath(), fields, kFoodPassword);
    {
        TZerovTable t;
        t.setTableName(linesPath());
        t.setPassword(kFoodPassword);
        t.open();
        t.beginAppend();
        for (const auto& [field, text] :
             std::vector<std::pair<const char*, const char*>>{{"Ricetta", "1"},
                                                              {"Nome", "Pomodori"},
                                                              {"Quantita", "150"},
                                                              {"Fibre", "1.2"},
                                                              {"Mancanti", "Zuccheri"}})
            t.fieldByName(field)->setStringValue(text);
        t.postRecord();
        t.saveChanges();
    }
    start();
    const int pasta = *book->findRecipe("Pasta al pomodoro");
    ASSERT_EQ(book->linesOf(pasta).size(), 1u);
    EXPECT_FALSE(book->linesOf(pasta)[0].knows(nSale));
    EXPECT_FALSE(book->linesOf(pasta)[0].knows(nZuccheri));
    EXPECT_TRUE(book->linesOf(pasta)[0].knows(nFibre));
    book->setServings(pasta, 2);
    // The field gained goes after the file's own.
    EXPECT_EQ(headerOf(linesPath()).back(), "Sale");
    EXPECT_EQ(fileRows(linesPath())[0][12], "Zuccheri Sale");
}

TEST_F(RecipeBookUpgrade, AFinalWeightIsAWeightOrNoneAndAFarOneIsAskedFor) {
    start();
    typePasta(); // 400 g
    const int code = book->saveCurrentRecipe("Pasta", 2, false, 350);
    const std::string before = bytesOf(recipesPath());
    for (double refused : {-5.0, 1000001.0})
        EXPECT_THAT(messageOf([&] { book->setFinalWeight(code, refused); }),
                    HasSubstr("peso finale"));
    // Typed into the grid's cell: 0 and text are refused as they are typed.
    book->Recipes->beginEdit();
    for (const char* refused : {"0", "tre etti", "-1"})
        EXPECT_THAT(messageOf([&] { book->RecipesPesoFinale->setEditText(refused); }),
                    HasSubstr("peso finale"));
    book->Recipes->cancelRecord();
    EXPECT_EQ(RecipeBook::finalWeightFromText("  "), 0);
    EXPECT_EQ(bytesOf(recipesPath()), before);
    // 39 g is below a tenth of 400 g: the question, and No changes nothing.
    EXPECT_THROW(book->setFinalWeight(code, 39), EAbort);
    book->setFinalWeight(code, 40);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_THAT(ui.questions[0].text, HasSubstr("39.0 g"));
    EXPECT_EQ(book->recipe(code)->PesoFinale, 40);
    // Cleared, it is none again: per 100 g is of the ingredients' grams.
    book->setFinalWeight(code, 0);
    EXPECT_EQ(book->recipe(code)->PesoFinale, 0);
    EXPECT_DOUBLE_EQ(book->valuesOf(code).weight(), 400);
}

TEST_F(RecipeBookUpgrade, LinesKeepEveryValueOfAFullFoodTableAndNameWhatItLacks) {
    // The bundled food table's fields; flour knows everything, eggs lack sugars and fibre.
    createTableFile(tablePath(), sampleFoodFields(), "");
    fillFoodTable(tablePath(),
                  {{"Cereali", "Farina", "500", "343", "72", "1", "11"},
                   {"Uova", "Uova", "400", "128", "0.5", "9", "12.4"}},
                  kFoodPassword);
    {
        TZerovTable t;
        t.setTableName(tablePath());
        t.setPassword(kFoodPassword);
        t.open();
        const char* others[] = {"Kjoule", "Zuccheri", "Saturi", "Fibre", "Sale"};
        const char* flour[] = {"1453", "1.5", "0.2", "2.5", "0.01"};
        const char* eggs[] = {"535", "", "2.6", "", "0.35"};
        for (const char** values : {flour, eggs}) {
            t.beginEdit();
            for (int i = 0; i < 5; ++i)
                t.fieldByName(others[i])->setStringValue(values[i]);
            t.fieldByName("Mancanti")->setStringValue(values == eggs ? "Zuccheri Fibre" : "");
            t.postRecord();
            t.moveNext();
        }
        t.saveChanges();
    }
    calc.OpenRecipeTables();
    openBook();
    const int code = book->saveCurrentRecipe("Pasta fresca", 4, false, 800);
    EXPECT_THAT(contents(),
                ElementsAre("Pasta fresca|4",
                            "  Farina 500.0 343.0 72.0 1.0 11.0 1,453.0 1.5 0.2 2.5 0.01",
                            "  Uova 400.0 128.0 0.5 9.0 12.4 535.0 n.d. 2.6 n.d. 0.35"));
    const RecipeValues v = book->valuesOf(code);
    // Salt: 0.05 + 1.4 = 1.45 g in 800 g of dough, 0.18125 per 100 g; a serving is 200 g.
    EXPECT_DOUBLE_EQ(v.totals.amount[nSale], 1.45);
    EXPECT_DOUBLE_EQ(v.per100g->amount[nSale], 0.18125);
    EXPECT_DOUBLE_EQ(v.servingWeight(), 200);
    // Sugars: 7.5 g from the flour, the eggs' not known.
    EXPECT_EQ(nutrientTotalText(v.totals, nZuccheri), "7.5+");
    EXPECT_THAT(missingValuesTexts(book->linesOf(code)),
                ElementsAre("Zuccheri: manca il dato di 1 ingrediente (Uova)",
                            "Fibre: manca il dato di 1 ingrediente (Uova)"));
}

} // namespace
} // namespace cibrano::testing

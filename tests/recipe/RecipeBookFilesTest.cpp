// The recipe book's files: how they are made and what they hold, and the faults: a damaged
// file, a wrong password, a file of another table, a file that cannot be replaced, a full
// disk. A file that cannot be read is never written; a write that fails undoes the change and
// names the file; the food table goes on as before.

#include "tests/recipe/RecipeBookTestSupport.h"

#include "engine/file/NewTableFile.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testkit::messageOf;

class RecipeBookFiles : public RecipeBookFixture {
protected:
    // Files other than the two tables and the food table (temporary files left behind).
    std::vector<std::string> strayFiles() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path)) {
            const std::string name = e.path().filename().string();
            if (name != "alimenti.d" && name != "ricette.d" && name != "ingredienti.d")
                names.push_back(name);
        }
        return names;
    }

    // The book cannot be changed, says why naming the file, and writes nothing.
    void expectReadOnlyNaming(const std::string& path) {
        ASSERT_TRUE(book->readOnly());
        EXPECT_THAT(book->readOnlyReason(), HasSubstr(path));
        EXPECT_THAT(book->readOnlyReason(), HasSubstr("sola lettura"));
        EXPECT_FALSE(book->Recipes->canModify());
        EXPECT_FALSE(book->Lines->canModify());
        typePasta();
        const std::string before = bytesOf(path);
        EXPECT_THAT(messageOf([&] { book->saveCurrentRecipe("Pasta", 1, false); }),
                    HasSubstr("sola lettura"));
        EXPECT_EQ(bytesOf(path), before);
        // The food table works as before and saves on close.
        EXPECT_EQ(lastShown()[3], "765.0");
        calc.SaveOnClose();
        EXPECT_THAT(storedQuantities(), ElementsAre(0, 200, 150, 50, 0, 0));
    }
};

TEST_F(RecipeBookFiles, TheFilesHoldTheirFieldsEncipheredWithTheFoodTablesPassword) {
    start();
    typePasta();
    const int code = book->saveCurrentRecipe("Pasta", 4, false);

    TZerovTable recipes;
    recipes.setTableName(recipesPath());
    recipes.setPassword(kFoodPassword);
    recipes.open();
    const TZerovCursor& r = *recipes.store();
    EXPECT_TRUE(r.isEnciphered());
    ASSERT_EQ(r.fieldCount(), 6);
    const std::vector<std::pair<const char*, uint8_t>> recipeFields = {
        {"Codice", kindAutoInc}, {"Nome", kindText},           {"Porzioni", kindInteger},
        {"Note", kindMemo},      {"Modificata", kindDateTime}, {"PesoFinale", kindFloat}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(r.fieldAt(i)->fieldName, recipeFields[i].first);
        EXPECT_EQ(r.fieldAt(i)->storageKind, recipeFields[i].second);
    }
    EXPECT_EQ(r.fieldAt(1)->declaredSize, 50);

    TZerovTable lines;
    lines.setTableName(linesPath());
    lines.setPassword(kFoodPassword);
    lines.open();
    const TZerovCursor& l = *lines.store();
    EXPECT_TRUE(l.isEnciphered());
    ASSERT_EQ(l.fieldCount(), 14);
    const char* lineFields[] = {"Ricetta", "Gruppo", "Nome",     "Quantita", "Kcalorie",
                                "Glucidi", "Lipidi", "Proteine", "Kjoule",   "Zuccheri",
                                "Saturi",  "Fibre",  "Sale",     "Mancanti"};
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(l.fieldAt(i)->fieldName, lineFields[i]);
    EXPECT_EQ(l.fieldAt(0)->storageKind, kindInteger);
    EXPECT_EQ(l.fieldAt(1)->storageKind, kindFixedText);
    EXPECT_EQ(l.fieldAt(1)->declaredSize, 30);
    EXPECT_EQ(l.fieldAt(2)->declaredSize, 50);
    for (int i = 3; i < 13; ++i)
        EXPECT_EQ(l.fieldAt(i)->storageKind, kindFloat);

    // A food table of seven fields knows none of the other values: empty, and named.
    EXPECT_THAT(fileRows(linesPath())[1],
                ElementsAre(std::to_string(code), "Verdure", "Pomodori", "150", "18", "3.5", "0.2",
                            "1", "0", "0", "0", "0", "0", "Kjoule Zuccheri Saturi Fibre Sale"));
    EXPECT_EQ(strayFiles(), std::vector<std::string>{});
}

TEST_F(RecipeBookFiles, ADamagedRecipesFileMakesTheBookReadOnlyAndStaysAsItIs) {
    writeFileAtomically(recipesPath(), "questo non \xE8 un ricettario");
    start();
    expectReadOnlyNaming(recipesPath());
    EXPECT_TRUE(book->recipes().empty());
    EXPECT_FALSE(std::filesystem::exists(linesPath()));
}

TEST_F(RecipeBookFiles, ALinesFileUnderAnotherPasswordIsNeverOverwritten) {
    std::vector<FieldDescription> fields = {{"Ricetta", ftInteger, 0}, {"Gruppo", ftString, 30},
                                            {"Nome", ftString, 50},    {"Quantita", ftFloat, 0},
                                            {"Kcalorie", ftFloat, 0},  {"Glucidi", ftFloat, 0},
                                            {"Lipidi", ftFloat, 0},    {"Proteine", ftFloat, 0}};
    createTableFile(linesPath(), fields, "ALTRA PAROLA");
    forgetPasswords();
    start();
    // The engine asked for the password; nobody gave it.
    EXPECT_FALSE(ui.prompts.empty());
    expectReadOnlyNaming(linesPath());
}

TEST_F(RecipeBookFiles, ARecipeWhoseLinesCannotBeReadIsNotLoaded) {
    start();
    typePasta();
    const int code = book->saveCurrentRecipe("Pasta", 1, false);
    calc.ZeroAllQuantities();
    writeFileAtomically(linesPath(), "danneggiato");
    openBook();
    ASSERT_TRUE(book->readOnly());
    EXPECT_EQ(book->recipes().size(), 1u);
    // Loading it would only set every quantity to 0.
    setQuantity("Mela", "30");
    EXPECT_THAT(messageOf([&] { book->loadRecipe(code); }), HasSubstr(linesPath()));
    EXPECT_EQ(nonZeroQuantities().size(), 1u);
    EXPECT_EQ(bytesOf(linesPath()), "danneggiato");
}

TEST_F(RecipeBookFiles, AFileOfAnotherTableIsNotTakenForABookFile) {
    copyGolden("food-enciphered.d", "ricette.d");
    start();
    expectReadOnlyNaming(recipesPath());
}

TEST_F(RecipeBookFiles, AFileThatCannotBeReplacedUndoesTheChangeAndNamesIt) {
    start();
    typePasta();
    const int pasta = book->saveCurrentRecipe("Pasta", 1, false);
    const std::string recipesBefore = bytesOf(recipesPath());
    // Where the lines file was there is now a folder.
    std::filesystem::remove(linesPath());
    std::filesystem::create_directory(linesPath());

    setQuantity("Mela", "30");
    const std::string message = messageOf([&] { book->saveCurrentRecipe("Con mela", 1, false); });
    EXPECT_THAT(message, HasSubstr(linesPath()));
    EXPECT_THAT(message, HasSubstr("annullata"));
    EXPECT_EQ(book->recipes().size(), 1u);
    EXPECT_EQ(book->linesOf(pasta).size(), 3u);
    EXPECT_EQ(bytesOf(recipesPath()), recipesBefore);
    EXPECT_FALSE(book->readOnly());
    EXPECT_EQ(book->Recipes->changeCount(), 0);

    // Deleting fails the same way at the lines, after the recipes file was written: the
    // recipe is back in memory and in its file.
    const std::string deleteMessage = messageOf([&] { book->deleteRecipe(pasta); });
    EXPECT_THAT(deleteMessage, HasSubstr(linesPath()));
    EXPECT_EQ(book->recipes().size(), 1u);
    EXPECT_EQ(fileRows(recipesPath()).size(), 1u);

    // Once the folder is gone the book writes again.
    std::filesystem::remove(linesPath());
    const int apple = book->saveCurrentRecipe("Con mela", 1, false);
    openBook();
    EXPECT_EQ(book->linesOf(apple).size(), 4u);
}

TEST_F(RecipeBookFiles, AFullDiskMakesNoFileAndLeavesTheBookUsable) {
    start();
    typePasta();
    std::string message;
    {
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit full = saved;
        full.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &full);
        message = messageOf([&] { book->saveCurrentRecipe("Pasta", 1, false); });
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
    }
    EXPECT_THAT(message, HasSubstr(recipesPath()));
    EXPECT_FALSE(std::filesystem::exists(recipesPath()));
    EXPECT_EQ(strayFiles(), std::vector<std::string>{});
    EXPECT_TRUE(book->recipes().empty());

    book->saveCurrentRecipe("Pasta", 1, false);
    EXPECT_EQ(fileRows(recipesPath()).size(), 1u);
}

} // namespace
} // namespace cibrano::testing

// The recipe book's rules: saving the food table's current recipe by name (names, servings,
// replacing), loading a recipe back into the food table (one change for the totals, missing
// foods, the first row of a food, the filter), deleting, editing in place, and the totals of a
// kept recipe worked out by hand.

#include "tests/recipe/RecipeBookTestSupport.h"

#include "platform/Abort.h"
#include "platform/AnsiCase.h"

#include <filesystem>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Pair;
using testkit::messageOf;

class RecipeBookRules : public RecipeBookFixture {};

TEST_F(RecipeBookRules, AnEmptyBookOpensWithoutMakingFiles) {
    start();
    EXPECT_TRUE(book->isOpen());
    EXPECT_FALSE(book->readOnly());
    EXPECT_TRUE(book->Recipes->Active());
    EXPECT_TRUE(book->Lines->Active());
    EXPECT_TRUE(book->recipes().empty());
    EXPECT_EQ(book->currentCode(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(recipesPath()));
    EXPECT_FALSE(std::filesystem::exists(linesPath()));
    EXPECT_EQ(book->recipesPath(), recipesPath());
}

TEST_F(RecipeBookRules, NamesAndServingsAreCheckedAsTyped) {
    EXPECT_EQ(RecipeBook::checkedName("  Pasta al pomodoro \t"), "Pasta al pomodoro");
    EXPECT_EQ(RecipeBook::checkedName(std::string(50, 'x')), std::string(50, 'x'));
    EXPECT_THAT(messageOf([] { RecipeBook::checkedName("   "); }), HasSubstr("vuoto"));
    EXPECT_THAT(messageOf([] { RecipeBook::checkedName(std::string(51, 'x')); }),
                HasSubstr("50 caratteri"));
    // Blanks around a name that is 50 characters long do not count.
    EXPECT_EQ(RecipeBook::checkedName(" " + std::string(50, 'y') + " "), std::string(50, 'y'));

    EXPECT_EQ(RecipeBook::servingsFromText("4"), 4);
    EXPECT_EQ(RecipeBook::servingsFromText(" 999 "), 999);
    for (const char* bad : {"0", "1000", "", "abc", "1.5", "-2", "4a", "0001"})
        EXPECT_THAT(messageOf([&] { RecipeBook::servingsFromText(bad); }), HasSubstr("da 1 a 999"))
            << bad;
    EXPECT_THAT(messageOf([] { RecipeBook::checkGrams(0); }), HasSubstr("diverso da 0"));
    EXPECT_EQ(messageOf([] { RecipeBook::checkGrams(-5); }), "(no error)");
}

TEST_F(RecipeBookRules, SavingTakesEveryUsedRowWhateverTheGridShows) {
    start();
    typePasta();
    // The grid shows only the used rows, sorted by name, narrowed by the find box: the recipe
    // still takes every used row of the table, in stored order.
    calc.SortByField(calc.Table1Nome);
    calc.ShowUsedRowsOnly();
    calc.ZerovFindEdit1->setText("Pasta");
    const int code = book->saveCurrentRecipe("  Pasta al pomodoro ", 4, false);

    const std::vector<RecipeInfo> kept = book->recipes();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].Codice, code);
    EXPECT_EQ(kept[0].Nome, "Pasta al pomodoro");
    EXPECT_EQ(kept[0].Porzioni, 4);
    EXPECT_DOUBLE_EQ(kept[0].Modificata, clock);
    EXPECT_EQ(book->currentCode(), code);
    // The grid shows the date and the time to the minute.
    EXPECT_EQ(book->RecipesModificata->displayText(), "09/12/2025 12:00");
    EXPECT_EQ(RecipeBook::formatModified(clock + 0.25 + 0.5 / 1440), "09/12/2025 18:00");

    const std::vector<RecipeLine> lines = book->linesOf(code);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Nome, "Pasta di semola");
    EXPECT_EQ(lines[0].Gruppo, "Cereali");
    EXPECT_EQ(lines[0].Quantita, 200);
    EXPECT_EQ(lines[0].values[nKcalorie], 353);
    EXPECT_EQ(lines[0].values[nGlucidi], 80);
    EXPECT_EQ(lines[0].values[nLipidi], 1.5);
    EXPECT_EQ(lines[0].values[nProteine], 11);
    EXPECT_EQ(lines[1].Nome, "Pomodori");
    EXPECT_EQ(lines[1].values[nKcalorie], 18); // the first tomatoes row, the one typed into
    EXPECT_EQ(lines[2].Nome, "Latte intero");
    // The lines grid shows the recipe's lines through the master-detail link.
    EXPECT_THAT(column(*book->Lines, "Nome"),
                ElementsAre("Pasta di semola", "Pomodori", "Latte intero"));
    // Sorted in the grid, the lines are still read in stored order.
    book->Lines->setIndexFieldNames("Nome");
    ASSERT_EQ(book->linesOf(code).size(), 3u);
    EXPECT_EQ(book->linesOf(code)[0].Nome, "Pasta di semola");
    EXPECT_EQ(book->linesOf(code)[2].Nome, "Latte intero");
    book->Lines->setIndexFieldNames("");

    // Both files exist now, and a new book reads the recipe from them.
    EXPECT_TRUE(std::filesystem::exists(recipesPath()));
    EXPECT_TRUE(std::filesystem::exists(linesPath()));
    openBook();
    ASSERT_EQ(book->recipes().size(), 1u);
    EXPECT_EQ(book->linesOf(code).size(), 3u);
    // The food table was not touched by saving.
    EXPECT_THAT(nonZeroQuantities(),
                ElementsAre(Pair("Cereali/Pasta di semola#1", 200.0),
                            Pair("Latte/Latte intero#1", 50.0), Pair("Verdure/Pomodori#1", 150.0)));
}

TEST_F(RecipeBookRules, AValueStillBeingTypedCountsAndAnEmptyRecipeIsRefused) {
    start();
    EXPECT_THAT(messageOf([&] { book->saveCurrentRecipe("Niente", 1, false); }),
                HasSubstr("non c'\xE8 una ricetta da salvare"));
    EXPECT_FALSE(std::filesystem::exists(recipesPath()));
    EXPECT_FALSE(book->foodTableHasQuantities());

    goTo("Mela");
    calc.Table1->beginEdit();
    calc.Table1Quantita->setFloatValue(120);
    EXPECT_TRUE(book->foodTableHasQuantities()); // posted first
    EXPECT_EQ(calc.Table1->State(), stateBrowse);
    const int code = book->saveCurrentRecipe("Mela", 1, false);
    EXPECT_EQ(book->linesOf(code).size(), 1u);

    // A new row nothing was typed into is not stored by asking.
    const int rows = calc.Table1->store()->entryCount();
    calc.Table1->beginAppend();
    EXPECT_TRUE(book->foodTableHasQuantities());
    EXPECT_EQ(calc.Table1->State(), stateBrowse);
    EXPECT_EQ(calc.Table1->recordCount(), rows);
}

TEST_F(RecipeBookRules, ANameKeptAlreadyIsReplacedOnlyWhenAskedKeepingItsCode) {
    start();
    typePasta();
    const int first = book->saveCurrentRecipe("Minestra", 2, false);
    setQuantity("Latte intero", "0");
    setQuantity("Mela", "30");
    const int other = book->saveCurrentRecipe("Altra", 1, false);
    EXPECT_NE(other, first);

    EXPECT_EQ(book->findRecipe(" minestra "), first);
    EXPECT_THAT(messageOf([&] { book->saveCurrentRecipe("MINESTRA", 3, false); }),
                HasSubstr("Esiste gi\xE0 una ricetta di nome \"MINESTRA\""));
    EXPECT_EQ(book->recipe(first)->Porzioni, 2);

    clock += 1;
    EXPECT_EQ(book->saveCurrentRecipe("MINESTRA", 3, true), first);
    ASSERT_EQ(book->recipes().size(), 2u);
    const RecipeInfo replaced = *book->recipe(first);
    EXPECT_EQ(replaced.Nome, "MINESTRA");
    EXPECT_EQ(replaced.Porzioni, 3);
    EXPECT_DOUBLE_EQ(replaced.Modificata, clock);
    std::vector<AnsiString> names;
    for (const RecipeLine& l : book->linesOf(first))
        names.push_back(l.Nome);
    EXPECT_THAT(names, ElementsAre("Pasta di semola", "Pomodori", "Mela"));
    // The other recipe keeps its lines, in the file too.
    openBook();
    EXPECT_EQ(book->linesOf(other).size(), 3u);
    EXPECT_EQ(book->linesOf(first).size(), 3u);
    EXPECT_EQ(book->recipe(first)->Nome, "MINESTRA");
}

TEST_F(RecipeBookRules, AKeptRecipesTotalsPerServingAndPer100gAreWorkedOutByHand) {
    start();
    typePasta();
    const int code = book->saveCurrentRecipe("Pasta", 5, false);
    const RecipeValues v = book->valuesOf(code);
    // Pasta 200 g, tomatoes 150 g, milk 50 g: 400 g.
    //   carbohydrates 160 + 5.25 + 2.5 = 167.75   fats 3 + 0.3 + 1.8 = 5.1
    //   proteins      22 + 1.5 + 1.65 = 25.15     energy 706 + 27 + 32 = 765
    EXPECT_DOUBLE_EQ(v.grams, 400);
    EXPECT_EQ(v.servings, 5);
    EXPECT_DOUBLE_EQ(v.totals.amount[nGlucidi], 167.75);
    EXPECT_DOUBLE_EQ(v.totals.amount[nLipidi], 5.1);
    EXPECT_DOUBLE_EQ(v.totals.amount[nProteine], 25.15);
    EXPECT_DOUBLE_EQ(v.totals.amount[nKcalorie], 765);
    EXPECT_DOUBLE_EQ(v.perServing.amount[nGlucidi], 33.55);
    EXPECT_DOUBLE_EQ(v.perServing.amount[nKcalorie], 153);
    ASSERT_TRUE(v.per100g);
    EXPECT_DOUBLE_EQ(v.per100g->amount[nGlucidi], 41.9375);
    EXPECT_DOUBLE_EQ(v.per100g->amount[nProteine], 6.2875);
    EXPECT_DOUBLE_EQ(v.per100g->amount[nKcalorie], 191.25);
    EXPECT_THAT(shownTotalsTexts(v.per100g.value()),
                ElementsAre("41.9", "6.3", "1.3", "191.3", "n.d.", "n.d.", "n.d.", "n.d.", "n.d."));
    // The main window shows the same totals for the same quantities.
    EXPECT_EQ(lastShown()[0], formatRecipeValue(v.totals.amount[nGlucidi]));
    EXPECT_EQ(lastShown()[3], "765.0");
}

TEST_F(RecipeBookRules, LoadingPutsTheRecipeBackWithOneChangeForTheTotals) {
    start();
    typePasta();
    const int code = book->saveCurrentRecipe("Pasta", 4, false);
    const std::vector<AnsiString> totals = lastShown();
    calc.ZeroAllQuantities();
    setQuantity("Mela", "80");
    setQuantity("Pane comune", "40");
    EXPECT_TRUE(book->foodTableHasQuantities());

    const int computations = calc.totalsComputations();
    const size_t shows = shown.size();
    const RecipeLoadResult result = book->loadRecipe(code);
    EXPECT_EQ(result.loaded, 3);
    EXPECT_TRUE(result.missing.empty());
    EXPECT_EQ(calc.totalsComputations(), computations + 1);
    EXPECT_EQ(shown.size(), shows + 1);
    EXPECT_EQ(lastShown(), totals);
    // The second tomatoes row stays at 0: the line went to the first one.
    EXPECT_THAT(nonZeroQuantities(),
                ElementsAre(Pair("Cereali/Pasta di semola#1", 200.0),
                            Pair("Latte/Latte intero#1", 50.0), Pair("Verdure/Pomodori#1", 150.0)));
    EXPECT_EQ(calc.Table1->State(), stateBrowse);
    EXPECT_FALSE(calc.Table1->controlsSuspended());
    EXPECT_EQ(calc.Table1->recordNumber(), 1);
    EXPECT_EQ(book->sourceRecipe()->Nome, "Pasta");
    EXPECT_EQ(book->recipeOfCurrentQuantities()->Nome, "Pasta");
    setQuantity("Mela", "10");
    EXPECT_FALSE(book->recipeOfCurrentQuantities());
    setQuantity("Mela", "0");

    // Unsaved changes as after typing: closing writes them.
    EXPECT_TRUE(calc.Table1->hasUnsavedChanges());
    calc.SaveOnClose();
    EXPECT_THAT(storedQuantities(), ElementsAre(0, 200, 150, 50, 0, 0));
}

TEST_F(RecipeBookRules, LoadingWithTheFilterOnShowsTheLoadedRows) {
    start();
    typePasta();
    const int code = book->saveCurrentRecipe("Pasta", 1, false);
    calc.ZeroAllQuantities();
    setQuantity("Mela", "10");
    calc.SortByField(calc.Table1Nome);
    calc.ShowUsedRowsOnly();
    ASSERT_EQ(calc.Table1->recordCount(), 1);
    book->loadRecipe(code);
    EXPECT_TRUE(calc.Table1->Filtered());
    EXPECT_EQ(calc.Table1->IndexFieldNames(), "Nome");
    EXPECT_THAT(column(*calc.Table1, "Nome"),
                ElementsAre("Latte intero", "Pasta di semola", "Pomodori"));
}

TEST_F(RecipeBookRules, FoodsTheTableNoLongerHoldsAreListedAndTheRestIsLoaded) {
    start();
    typePasta();
    setQuantity("Mela", "25");
    const int code = book->saveCurrentRecipe("Con mela", 1, false);
    // The food table changes: the apple leaves, the milk moves to another group.
    goTo("Mela");
    calc.Table1->deleteRecord();
    goTo("Latte intero");
    setValue(*calc.Table1, "Gruppo", "Latticini");
    calc.ZeroAllQuantities();

    const RecipeLoadResult result = book->loadRecipe(code);
    EXPECT_EQ(result.loaded, 2);
    ASSERT_EQ(result.missing.size(), 2u);
    EXPECT_EQ(result.missing[0].Nome, "Latte intero");
    EXPECT_EQ(result.missing[1].Nome, "Mela");
    EXPECT_EQ(RecipeBook::missingFoodsMessage(result.missing),
              "Questi ingredienti non sono nella tabella degli alimenti e non sono stati "
              "caricati:\nLatte intero (Latte)\nMela (Frutta)");
    EXPECT_EQ(RecipeBook::missingFoodsMessage({}), "");
    EXPECT_THAT(nonZeroQuantities(), ElementsAre(Pair("Cereali/Pasta di semola#1", 200.0),
                                                 Pair("Verdure/Pomodori#1", 150.0)));
    // The kept recipe's totals still use the values the lines were saved with.
    EXPECT_DOUBLE_EQ(book->valuesOf(code).totals.amount[nKcalorie], 765 + 13);
}

TEST_F(RecipeBookRules, DeletingRemovesTheRecipeAndItsLinesFromBothFiles) {
    start();
    typePasta();
    const int pasta = book->saveCurrentRecipe("Pasta", 1, false);
    setQuantity("Mela", "30");
    const int apple = book->saveCurrentRecipe("Con mela", 1, false);
    book->deleteRecipe(pasta);
    ASSERT_EQ(book->recipes().size(), 1u);
    EXPECT_EQ(book->recipes()[0].Codice, apple);
    EXPECT_TRUE(book->linesOf(pasta).empty());
    EXPECT_EQ(fileRows(recipesPath()).size(), 1u);
    EXPECT_EQ(fileRows(linesPath()).size(), 4u);
    EXPECT_THAT(messageOf([&] { book->deleteRecipe(pasta); }), HasSubstr("non esiste"));
}

TEST_F(RecipeBookRules, EditsInPlaceAreCheckedAndWrittenAtOnce) {
    start();
    typePasta();
    const int pasta = book->saveCurrentRecipe("Pasta", 2, false);
    setQuantity("Mela", "30");
    const int apple = book->saveCurrentRecipe("Mela", 1, false);

    EXPECT_THAT(messageOf([&] { book->renameRecipe(pasta, " mela "); }),
                HasSubstr("Esiste gi\xE0"));
    EXPECT_EQ(book->Recipes->State(), stateBrowse);
    EXPECT_THAT(messageOf([&] { book->setServings(pasta, 0); }), HasSubstr("da 1 a 999"));
    EXPECT_THAT(messageOf([&] { book->setServings(pasta, 1000); }), HasSubstr("da 1 a 999"));
    EXPECT_THAT(messageOf([&] { book->renameRecipe(apple, "  "); }), HasSubstr("vuoto"));

    clock += 2;
    book->renameRecipe(pasta, "  Pasta fresca ");
    book->setServings(pasta, 6);
    // A grid edits a line's grams as the dataset is edited here.
    book->Lines->moveFirst();
    ASSERT_EQ(book->LinesNome->stringValue(), "Pasta di semola");
    book->Lines->moveNext();
    book->Lines->beginEdit();
    book->LinesQuantita->setFloatValue(0);
    EXPECT_THAT(messageOf([&] { book->Lines->postRecord(); }), HasSubstr("diverso da 0"));
    book->LinesQuantita->setFloatValue(175);
    book->Lines->postRecord();
    // The edited line stays current.
    EXPECT_EQ(book->LinesNome->stringValue(), "Pomodori");
    EXPECT_THAT(messageOf([&] {
                    book->Lines->beginEdit();
                    book->LinesValues[0]->setFloatValue(1);
                }),
                HasSubstr("read only"));
    book->Lines->cancelRecord();

    openBook();
    const RecipeInfo r = *book->recipe(pasta);
    EXPECT_EQ(r.Nome, "Pasta fresca");
    EXPECT_EQ(r.Porzioni, 6);
    EXPECT_DOUBLE_EQ(r.Modificata, clock);
    EXPECT_EQ(book->linesOf(pasta)[1].Quantita, 175);
    EXPECT_EQ(book->linesOf(pasta)[0].Quantita, 200);
}

TEST_F(RecipeBookRules, RecipesSortByNameWithoutRegardToCase) {
    start();
    typePasta();
    for (const char* name : {"minestra", "Arrosto", "brodo", "Zuppa"})
        book->saveCurrentRecipe(name, 1, false);
    book->Recipes->setIndexFieldNames("Nome");
    std::vector<AnsiString> order;
    for (book->Recipes->moveFirst(); !book->Recipes->atEnd(); book->Recipes->moveNext())
        order.push_back(book->RecipesNome->stringValue());
    EXPECT_THAT(order, ElementsAre("Arrosto", "brodo", "minestra", "Zuppa"));
}

TEST_F(RecipeBookRules, GridsCannotAddOrRemoveRowsOfTheirOwn) {
    start();
    typePasta();
    book->saveCurrentRecipe("Pasta", 2, false);
    EXPECT_THROW(book->Recipes->beginAppend(), EAbort);
    EXPECT_THROW(book->Lines->beginAppend(), EAbort);
    EXPECT_THROW(book->Lines->deleteRecord(), EAbort);
    EXPECT_THROW(book->Recipes->deleteRecord(), EAbort);
    EXPECT_EQ(book->Lines->recordCount(), 3);
    EXPECT_EQ(book->recipes().size(), 1u);
}

TEST_F(RecipeBookRules, LinesOfARecipeThatIsGoneAreIgnoredAndDroppedAtTheNextSave) {
    start();
    typePasta();
    const int pasta = book->saveCurrentRecipe("Pasta", 1, false);
    // A save cut short after the lines were written: lines of recipe 7, which does not exist.
    {
        TZerovTable lines;
        lines.setTableName(linesPath());
        lines.setPassword(kFoodPassword);
        lines.open();
        lines.beginAppend();
        lines.fieldByName("Ricetta")->setIntegerValue(pasta + 1);
        lines.fieldByName("Nome")->setStringValue("Orfano");
        lines.fieldByName("Quantita")->setFloatValue(10);
        lines.postRecord();
        lines.saveChanges();
    }
    openBook();
    EXPECT_EQ(fileRows(linesPath()).size(), 4u); // opening writes nothing
    setQuantity("Mela", "30");
    // The next recipe takes the number the orphan carried, without its line.
    const int next = book->saveCurrentRecipe("Nuova", 1, false);
    EXPECT_EQ(next, pasta + 1);
    EXPECT_EQ(book->linesOf(next).size(), 4u);
    for (const auto& row : fileRows(linesPath()))
        EXPECT_NE(row[2], "Orfano");
}

} // namespace
} // namespace cibrano::testing

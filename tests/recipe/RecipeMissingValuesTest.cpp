// The values a food row does not know: the Mancanti list itself, and the food table of the
// main window keeping it true on a table that has the field (a new row lacks every value the
// window shows no column for; a value typed is known) and doing without it on one that has
// not.

#include "recipe/MissingValues.h"
#include "tests/recipe/RecipeTestSupport.h"

#include "engine/file/NewTableFile.h"

namespace cibrano::testing {
namespace {

TEST(MissingValuesList, ReadsSetsAndWritesNamesInTheTablesOrder) {
    const std::vector<AnsiString> order = {"Kcalorie", "Glucidi", "Zuccheri", "Fibre", "Sale"};
    MissingValues missing("  Fibre   zuccheri Fibre ");
    EXPECT_TRUE(missing.lists("Zuccheri"));
    EXPECT_FALSE(missing.lists("Sale"));
    EXPECT_EQ(missing.text(), "Fibre zuccheri");
    missing.set("Kcalorie", true, order);
    missing.set("Sale", true, order);
    EXPECT_EQ(missing.text(), "Kcalorie zuccheri Fibre Sale");
    missing.set("ZUCCHERI", false, order);
    missing.set("Fibre", false, order);
    EXPECT_EQ(missing.text(), "Kcalorie Sale");
    EXPECT_TRUE(MissingValues("   ").empty());
}

class FoodTableMissingValues : public RecipeFixture {
protected:
    // A food table with the fields of the bundled sample, holding the rows given.
    void writeLabelTable(const std::vector<FoodRow>& rows, const char* farinaMissing) {
        createTableFile(tablePath(), sampleFoodFields(), "");
        fillFoodTable(tablePath(), rows, kFoodPassword);
        TZerovTable t;
        t.setTableName(tablePath());
        t.setPassword(kFoodPassword);
        t.open();
        t.beginEdit();
        t.fieldByName("Mancanti")->setStringValue(farinaMissing);
        t.postRecord();
        t.saveChanges();
    }
    // A food typed into the window: group, name and energy.
    void addFood(const char* nome, const char* kcal) {
        calc.Table1->beginAppend();
        calc.Table1Gruppo->setStringValue("Mie");
        calc.Table1Nome->setStringValue(nome);
        calc.Table1Kcalorie->setStringValue(kcal);
        calc.Table1->postRecord();
    }
};

TEST_F(FoodTableMissingValues, ANewRowLacksWhatTheWindowCannotShowAndATypedValueIsKnown) {
    writeLabelTable({{"Cereali", "Farina", "0", "", "70", "1", "10"}}, "Kcalorie Zuccheri");
    calc.OpenRecipeTables();
    ASSERT_NE(calc.Table1Mancanti, nullptr);
    EXPECT_FALSE(calc.Table1Mancanti->Visible());

    addFood("Biscotti di casa", "450");
    EXPECT_EQ(calc.Table1Mancanti->stringValue(), "Kjoule Zuccheri Saturi Fibre Sale");

    goTo("Farina");
    calc.Table1->beginEdit();
    calc.Table1Kcalorie->setStringValue("340");
    calc.Table1->postRecord();
    EXPECT_EQ(calc.Table1Mancanti->stringValue(), "Zuccheri");

    // What the file keeps, read back by another table.
    calc.SaveOnClose();
    TZerovTable t;
    t.setTableName(tablePath());
    t.setPassword(kFoodPassword);
    t.open();
    std::map<AnsiString, AnsiString> kept;
    for (t.moveFirst(); !t.atEnd(); t.moveNext())
        kept[t.fieldByName("Nome")->stringValue()] = t.fieldByName("Mancanti")->stringValue();
    EXPECT_EQ(kept["Biscotti di casa"], "Kjoule Zuccheri Saturi Fibre Sale");
    EXPECT_EQ(kept["Farina"], "Zuccheri");
}

TEST_F(FoodTableMissingValues, ATableOfTheSevenFieldsHasNoListAndTakesNewRows) {
    writeFoodTable({{"Cereali", "Farina", "0", "340", "70", "1", "10"}});
    calc.OpenRecipeTables();
    EXPECT_EQ(calc.Table1Mancanti, nullptr);
    addFood("Biscotti di casa", "450");
    EXPECT_EQ(calc.Table1->recordCount(), 2);
    EXPECT_EQ(calc.Table1->FieldDefs().count(), 7);
}

} // namespace
} // namespace cibrano::testing

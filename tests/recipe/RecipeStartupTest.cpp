// Starting the recipe calculator: the components the window binds to by name, the food table
// found in the working folder and opened with the program's password, the first totals, and
// what is left when the table is missing or its password is not the program's.

#include "tests/recipe/RecipeTestSupport.h"

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RecipeStartup : public RecipeFixture {};

TEST_F(RecipeStartup, TheComponentsBearTheNamesAndSettingsTheWindowBindsTo) {
    struct Expected {
        const char* name;
        const char* fieldName;
        TFieldType type;
        int size;
        int displayWidth;
        const char* displayFormat;
        const char* editFormat;
    };
    const Expected foodFields[] = {
        {"Table1Gruppo", "Gruppo", ftString, 30, 25, nullptr, nullptr},
        {"Table1Nome", "Nome", ftString, 50, 51, nullptr, nullptr},
        {"Table1Quantita", "Quantita", ftFloat, 0, 12, "#,##0.0", "#.#"},
        {"Table1Kcalorie", "Kcalorie", ftFloat, 0, 12, "#,##0.0", "#.#"},
        {"Table1Glucidi", "Glucidi", ftFloat, 0, 12, "#,##0.0", "#.#"},
        {"Table1Lipidi", "Lipidi", ftFloat, 0, 12, "#,##0.0", "#.#"},
        {"Table1Proteine", "Proteine", ftFloat, 0, 12, "#,##0.0", "#.#"},
    };
    ASSERT_EQ(calc.Table1->fieldCount(), 7);
    for (int i = 0; i < 7; ++i) {
        const Expected& e = foodFields[i];
        SCOPED_TRACE(e.name);
        auto* field = dynamic_cast<TField*>(calc.findComponent(e.name));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(calc.Table1->Fields()[i], field); // declared order
        EXPECT_EQ(field->FieldName(), e.fieldName);
        EXPECT_EQ(field->DataType(), e.type);
        EXPECT_EQ(field->DisplayWidth(), e.displayWidth);
        if (e.size) {
            EXPECT_EQ(field->Size(), e.size);
        }
        if (auto* number = dynamic_cast<TFloatField*>(field)) {
            EXPECT_EQ(number->DisplayFormat(), e.displayFormat);
            EXPECT_EQ(number->EditFormat(), e.editFormat);
        }
    }
    const char* cloneFields[] = {"GRUPPO",  "NOME",   "QUANTITA", "KCALORIE",
                                 "GLUCIDI", "LIPIDI", "PROTEINE"};
    ASSERT_EQ(calc.Table2->fieldCount(), 7);
    for (int i = 0; i < 7; ++i) {
        auto* field =
            dynamic_cast<TField*>(calc.findComponent(AnsiString("Table2") + cloneFields[i]));
        ASSERT_NE(field, nullptr) << cloneFields[i];
        EXPECT_EQ(field->FieldName(), cloneFields[i]);
        if (auto* number = dynamic_cast<TFloatField*>(field)) {
            EXPECT_EQ(number->DisplayFormat(), "0.######");
        }
    }

    EXPECT_EQ(calc.findComponent("ZerovDatabase1"), calc.ZerovDatabase1);
    EXPECT_EQ(calc.findComponent("Table1"), calc.Table1);
    EXPECT_EQ(calc.findComponent("DataSource1"), calc.DataSource1);
    EXPECT_EQ(calc.findComponent("Table2"), calc.Table2);
    EXPECT_EQ(calc.findComponent("ZerovFindEdit1"), calc.ZerovFindEdit1);
    EXPECT_EQ(calc.ZerovDatabase1->DateFormat(), "mm/dd/yyyy");
    EXPECT_EQ(calc.Table1->Database(), calc.ZerovDatabase1);
    EXPECT_EQ(calc.Table1->TableName(), "alimenti.d");
    EXPECT_EQ(calc.Table1->LoadMode(), lmFile);
    EXPECT_FALSE(calc.Table1->Filtered());
    EXPECT_EQ(calc.Table1->Version(), "ZarazEV Engine v4.6");
    EXPECT_EQ(calc.DataSource1->DataSet(), calc.Table1);
    EXPECT_EQ(calc.Table2->Database(), calc.ZerovDatabase1);
    EXPECT_EQ(calc.Table2->CloneDS(), calc.Table1);
    EXPECT_EQ(calc.Table2->LoadMode(), lmClone);
    EXPECT_EQ(calc.ZerovFindEdit1->DataSource(), calc.DataSource1);
    EXPECT_EQ(calc.ZerovFindEdit1->DataField(), "Nome");
    EXPECT_EQ(calc.ZerovFindEdit1->FindStyle(), vfsFilter);
    EXPECT_EQ(calc.ZerovFindEdit1->FindMode(), vfmAnyPos);
    EXPECT_FALSE(calc.Table1->Active());
    EXPECT_FALSE(calc.Table2->Active());
}

TEST_F(RecipeStartup, OpensTheTableInTheWorkingFolderAndShowsTheTotalsOnce) {
    useFoodTable();
    calc.OpenRecipeTables();
    EXPECT_EQ(calc.databaseFolder(), std::filesystem::current_path().string() + "/");
    EXPECT_EQ(calc.ZerovDatabase1->DatabasePath(), calc.databaseFolder());
    EXPECT_EQ(calc.Table1->tableFilePath(), calc.databaseFolder() + "alimenti.d");
    EXPECT_TRUE(calc.Table1->Active());
    EXPECT_TRUE(calc.Table2->Active());
    EXPECT_EQ(calc.Table2->store(), calc.Table1->store());
    EXPECT_THAT(ui.prompts, IsEmpty()); // the program's own password opens it
    // Opening the food table notifies while the clone is still closed: only the last step
    // computes and shows.
    EXPECT_EQ(calc.totalsComputations(), 1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_THAT(lastShown(), ElementsAre("68.5", "10.2", "11.4", "400.8"));
    EXPECT_FALSE(calc.Table1->hasUnsavedChanges());
    EXPECT_EQ(calc.Table1->recordNumber(), 1);
}

TEST_F(RecipeStartup, AMissingTableStopsTheStartAndLeavesTheLabelsAlone) {
    const std::string message = testkit::messageOf([&] { calc.OpenRecipeTables(); });
    EXPECT_EQ(message, "Table1: Error opening file " + calc.databaseFolder() + "alimenti.d");
    EXPECT_THAT(shown, IsEmpty());
    EXPECT_FALSE(calc.Table1->Active());
    EXPECT_FALSE(calc.Table2->Active());
    EXPECT_FALSE(calc.ComputeTotals().has_value());
    EXPECT_EQ(calc.totalsComputations(), 0);
    // The commands then meet a closed table; closing writes nothing.
    EXPECT_EQ(testkit::messageOf([&] { calc.ZeroAllQuantities(); }),
              "Table1: Cannot perform this operation on a closed dataset");
    EXPECT_FALSE(calc.Table1->controlsSuspended());
    calc.SaveOnClose();
    EXPECT_EQ(dir.entryCount(), 0u);
}

TEST_F(RecipeStartup, AWrongPasswordPromptsFailsWithTheEnginesMessageAndWritesNothing) {
    writeFoodTable({{"Formaggi", "Parmigiano", "10", "387", "0", "28.1", "33.5"}}, "ALTRA");
    const std::string before = tableBytes();
    ui.queuePassword(AnsiString("NONSO"));
    const std::string message = testkit::messageOf([&] { calc.OpenRecipeTables(); });
    EXPECT_EQ(message, "Table1: Error opening table: Invalid password. Table cannot be open");
    EXPECT_FALSE(ui.prompts.empty());
    EXPECT_FALSE(calc.Table1->Active());
    EXPECT_FALSE(calc.Table2->Active());
    EXPECT_THAT(shown, IsEmpty());
    calc.SaveOnClose();
    EXPECT_EQ(tableBytes(), before);
    EXPECT_EQ(dir.entryCount(), 1u);
}

TEST_F(RecipeStartup, TheRightPasswordTypedAtThePromptOpensATableUnderAnotherPassword) {
    writeFoodTable({{"Formaggi", "Parmigiano", "10", "387", "0", "28.1", "33.5"}}, "ALTRA");
    ui.queuePassword(AnsiString("ALTRA"));
    calc.OpenRecipeTables();
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_THAT(lastShown(), ElementsAre("0.0", "3.4", "2.8", "38.7"));
}

} // namespace
} // namespace cibrano::testing

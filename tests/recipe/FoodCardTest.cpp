// The food card: a row of the food table read into plain values, on a table of the bundled
// sample's fields and on one of the seven; what is typed checked as the grid would, with the
// question of a part above its whole; the row written as one edit, its Mancanti kept in the
// table's order, and nothing written when nothing changed.

#include "recipe/FoodCard.h"
#include "recipe/FoodCardMessages.h"
#include "recipe/Nutrients.h"
#include "tests/recipe/RecipeTestSupport.h"

#include "engine/file/NewTableFile.h"

namespace cibrano::testing {
namespace {

using ::testing::HasSubstr;

class FoodCardFixture : public RecipeFixture {
protected:
    // A food table with the fields of the bundled sample: Farina lacks its energy and sugars.
    void writeFullTable() {
        createTableFile(tablePath(), sampleFoodFields(), "");
        fillFoodTable(tablePath(),
                      {{"Cereali", "Farina", "0", "", "70.25", "1", "10"},
                       {"Frutta", "Mela", "0", "52", "14", "0.2", "0.3"}},
                      kFoodPassword);
        TZerovTable t;
        t.setTableName(tablePath());
        t.setPassword(kFoodPassword);
        t.open();
        t.beginEdit();
        t.fieldByName("Fonte")->setStringValue("Ciqual 2020");
        t.fieldByName("Saturi")->setStringValue("0.2");
        t.fieldByName("Mancanti")->setStringValue("Kcalorie Zuccheri");
        t.postRecord();
        t.saveChanges();
    }

    // The card's values as typed when nothing is changed.
    static FoodCardTyped asShown(const FoodCard& card) {
        FoodCardTyped typed{card.gruppo, card.nome, {}};
        for (const FoodCardValue& v : card.values)
            typed.values.push_back({v.text, !v.known});
        return typed;
    }

    static int indexOf(const FoodCard& card, const char* field) {
        for (size_t i = 0; i < card.values.size(); ++i)
            if (AnsiString(card.values[i].field) == field)
                return static_cast<int>(i);
        return -1;
    }

    // The card offering the field (as the nutrients list does once it holds it): the check of
    // a part against its whole goes by field name.
    static size_t offer(FoodCardRow& row, const char* field, double stored, const char* text) {
        if (const int at = indexOf(row.card, field); at >= 0)
            return static_cast<size_t>(at);
        row.card.values.push_back({field, field, "g", true, stored, text});
        return row.card.values.size() - 1;
    }

    double stored(const char* field) { return calc.Table1->fieldByName(field)->floatValue(); }
};

TEST_F(FoodCardFixture, AFullTablesRowShowsEveryNutrientOfTheListAndItsUnknownValues) {
    writeFullTable();
    calc.OpenRecipeTables();
    goTo("Farina");
    const FoodCardRow row = currentFoodRow(calc);
    const FoodCard& card = row.card;
    EXPECT_EQ(card.gruppo, "Cereali");
    EXPECT_EQ(card.nome, "Farina");
    EXPECT_EQ(card.fonte, std::optional<AnsiString>("Ciqual 2020"));
    EXPECT_TRUE(card.unknownAllowed);
    EXPECT_EQ(card.note, "");
    ASSERT_EQ(card.values.size(), kNutrients.size());
    for (size_t i = 0; i < kNutrients.size(); ++i)
        EXPECT_STREQ(card.values[i].field, kNutrients[i].field);
    const FoodCardValue& kcal = card.values[static_cast<size_t>(indexOf(card, "Kcalorie"))];
    EXPECT_FALSE(kcal.known);
    EXPECT_EQ(kcal.text, "");
    const FoodCardValue& carbs = card.values[static_cast<size_t>(indexOf(card, "Glucidi"))];
    EXPECT_TRUE(carbs.known);
    EXPECT_EQ(carbs.text, "70.25");

    // The book's window finds a line's food by its group and name.
    const std::optional<FoodCardRow> mela = findFoodRow(calc, "Frutta", "Mela");
    ASSERT_TRUE(mela);
    EXPECT_EQ(mela->card.nome, "Mela");
    EXPECT_FALSE(findFoodRow(calc, "Cereali", "Mela"));
}

TEST_F(FoodCardFixture, WritesOneEditWithMancantiInTheTablesOrderAndNothingWhenUnchanged) {
    writeFullTable();
    calc.OpenRecipeTables();
    goTo("Farina");
    const FoodCardRow row = currentFoodRow(calc);
    EXPECT_EQ(saveFoodCard(calc, row, asShown(row.card)), FoodCardOutcome::unchanged);
    // A number written otherwise, but the same, is no change either.
    FoodCardTyped same = asShown(row.card);
    same.values[static_cast<size_t>(indexOf(row.card, "Glucidi"))].text = "70.250";
    EXPECT_EQ(saveFoodCard(calc, row, same), FoodCardOutcome::unchanged);
    EXPECT_FALSE(calc.Table1->hasUnsavedChanges());

    FoodCardTyped typed = asShown(row.card);
    typed.nome = "Farina 00";
    typed.values[static_cast<size_t>(indexOf(row.card, "Kcalorie"))] = {"345.5", false};
    typed.values[static_cast<size_t>(indexOf(row.card, "Glucidi"))] = {"", true};
    const size_t shownBefore = shown.size();
    EXPECT_EQ(saveFoodCard(calc, row, typed), FoodCardOutcome::written);
    EXPECT_EQ(calc.Table1->State(), stateBrowse);
    EXPECT_EQ(calc.Table1->changeCount(), 1);
    EXPECT_GT(shown.size(), shownBefore);
    EXPECT_EQ(calc.Table1Nome->stringValue(), "Farina 00");
    EXPECT_EQ(stored("Kcalorie"), 345.5);
    EXPECT_EQ(stored("Glucidi"), 0);
    EXPECT_EQ(calc.Table1Mancanti->stringValue(), "Glucidi Zuccheri");

    // Read again, the card shows what was written.
    const FoodCardRow again = currentFoodRow(calc);
    EXPECT_FALSE(again.card.values[static_cast<size_t>(indexOf(again.card, "Glucidi"))].known);

    // A row the food table's filter hides (from the book's window) is written all the same,
    // and the filter stays.
    calc.ShowUsedRowsOnly();
    ASSERT_EQ(calc.Table1->recordCount(), 0);
    const std::optional<FoodCardRow> mela = findFoodRow(calc, "Frutta", "Mela");
    ASSERT_TRUE(mela);
    FoodCardTyped renamed = asShown(mela->card);
    renamed.nome = "Mela golden";
    EXPECT_EQ(saveFoodCard(calc, *mela, renamed), FoodCardOutcome::written);
    EXPECT_TRUE(calc.Table1->Filtered());
    EXPECT_EQ(calc.Table1->recordCount(), 0);
    EXPECT_TRUE(findFoodRow(calc, "Frutta", "Mela golden"));

    // Saved, the file keeps it.
    calc.SaveOnClose();
    TZerovTable t;
    t.setTableName(tablePath());
    t.setPassword(kFoodPassword);
    t.open();
    EXPECT_EQ(t.fieldByName("Nome")->stringValue(), "Farina 00");
    EXPECT_EQ(t.fieldByName("Mancanti")->stringValue(), "Glucidi Zuccheri");
    EXPECT_EQ(t.fieldByName("Fonte")->stringValue(), "Ciqual 2020");
}

TEST_F(FoodCardFixture, RefusesWhatTheTableCannotHoldAndWritesNothing) {
    writeFullTable();
    calc.OpenRecipeTables();
    goTo("Farina");
    const FoodCardRow row = currentFoodRow(calc);
    const size_t carbs = static_cast<size_t>(indexOf(row.card, "Glucidi"));
    auto refusal = [&](const std::function<void(FoodCardTyped&)>& change) {
        FoodCardTyped typed = asShown(row.card);
        change(typed);
        try {
            saveFoodCard(calc, row, typed);
        } catch (const FoodCardRefusal& r) {
            return std::make_pair(r.where(), AnsiString(r.what()));
        }
        return std::make_pair(-99, AnsiString("accepted"));
    };
    EXPECT_EQ(refusal([&](FoodCardTyped& t) { t.values[carbs].text = "settanta"; }),
              std::make_pair(static_cast<int>(carbs),
                             AnsiString("Glucidi: \"settanta\" non \xE8 un numero.")));
    EXPECT_EQ(refusal([&](FoodCardTyped& t) { t.values[carbs].text = "1,5"; }).first, carbs);
    EXPECT_THAT(refusal([&](FoodCardTyped& t) { t.values[carbs].text = "-1"; }).second,
                HasSubstr("negativo"));
    EXPECT_THAT(refusal([&](FoodCardTyped& t) { t.values[carbs].text = " "; }).second,
                HasSubstr("non noto"));
    EXPECT_EQ(refusal([&](FoodCardTyped& t) { t.nome = AnsiString(51, 'x'); }).first,
              FoodCardRefusal::name);
    EXPECT_EQ(refusal([&](FoodCardTyped& t) { t.nome = "  "; }).first, FoodCardRefusal::name);
    EXPECT_EQ(refusal([&](FoodCardTyped& t) { t.gruppo = AnsiString(31, 'x'); }).first,
              FoodCardRefusal::group);
    EXPECT_FALSE(calc.Table1->hasUnsavedChanges());
    EXPECT_EQ(stored("Glucidi"), 70.25);

    // In the user's format.
    RegionalSettings comma = regional();
    comma.decimalSeparator = ',';
    setRegional(comma);
    FoodCardTyped typed = asShown(row.card);
    typed.values[carbs].text = "71,5";
    EXPECT_EQ(saveFoodCard(calc, row, typed), FoodCardOutcome::written);
    EXPECT_EQ(stored("Glucidi"), 71.5);
}

TEST_F(FoodCardFixture, APartAboveItsWholeIsWrittenOnlyWhenConfirmed) {
    writeFullTable();
    calc.OpenRecipeTables();
    goTo("Farina");
    FoodCardRow row = currentFoodRow(calc);
    const size_t saturates = offer(row, "Saturi", 0.2, "0.2");
    FoodCardTyped typed = asShown(row.card);
    typed.values[saturates].text = "5";

    EXPECT_EQ(saveFoodCard(calc, row, typed), FoodCardOutcome::declined);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_THAT(ui.questions[0].text, HasSubstr("I grassi saturi (5 g)"));
    EXPECT_FALSE(calc.Table1->hasUnsavedChanges());
    EXPECT_EQ(stored("Saturi"), 0.2);

    ui.answerQuestion = [](const AnsiString&) { return true; };
    EXPECT_EQ(saveFoodCard(calc, row, typed), FoodCardOutcome::written);
    EXPECT_EQ(stored("Saturi"), 5);

    // Sugars over carbohydrates likewise; a pair left as it was asks nothing.
    FoodCard card;
    card.gruppoSize = card.nomeSize = 50;
    card.nome = "Miele";
    card.values = {{"Glucidi", "Glucidi", "g", true, 10, "10"},
                   {"Zuccheri", "Zuccheri", "g", true, 12, "12"}};
    EXPECT_TRUE(checkFoodCard(card, asShown(card)).questions.empty());
    FoodCardTyped sugars = asShown(card);
    sugars.values[1].text = "13";
    const FoodCardChecked checked = checkFoodCard(card, sugars);
    ASSERT_EQ(checked.questions.size(), 1u);
    EXPECT_THAT(checked.questions[0], HasSubstr("Gli zuccheri (13 g)"));
    sugars.values[0] = {"", true};
    card.unknownAllowed = true;
    EXPECT_TRUE(checkFoodCard(card, sugars).questions.empty());
}

TEST_F(FoodCardFixture, ASevenFieldTableOffersTheFourValuesNoneUnknown) {
    writeFoodTable({{"Cereali", "Farina", "0", "340", "70", "1", "10"}});
    calc.OpenRecipeTables();
    const FoodCardRow row = currentFoodRow(calc);
    EXPECT_FALSE(row.card.unknownAllowed);
    EXPECT_FALSE(row.card.fonte);
    EXPECT_EQ(row.card.note, cardmsg::OnlyGridValues);
    std::vector<AnsiString> fields;
    for (const FoodCardValue& v : row.card.values)
        fields.push_back(v.field);
    EXPECT_EQ(fields, (std::vector<AnsiString>{"Kcalorie", "Glucidi", "Lipidi", "Proteine"}));

    FoodCardTyped typed = asShown(row.card);
    typed.values[0].unknown = true;
    EXPECT_THROW(saveFoodCard(calc, row, typed), FoodCardRefusal);
    // An empty value is 0 here, as the window counts an empty cell.
    typed = asShown(row.card);
    typed.values[2].text = "";
    EXPECT_EQ(saveFoodCard(calc, row, typed), FoodCardOutcome::written);
    EXPECT_EQ(stored("Lipidi"), 0);
    EXPECT_EQ(calc.Table1->FieldDefs().count(), 7);

    // The food table shows no row: no card.
    calc.ShowUsedRowsOnly();
    EXPECT_THROW(currentFoodRow(calc), EDatabaseError);
}

} // namespace
} // namespace cibrano::testing

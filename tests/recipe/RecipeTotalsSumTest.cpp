// The totals read straight from the clone's rows give exactly what the walk over the clone
// gives, and leave the clone where the walk leaves it, through random edits, inserts, deletes,
// filters, sorts and searches; the walk still runs whenever something could see the clone move.

#include "tests/recipe/RecipeTestSupport.h"

#include "platform/Timer.h"

#include <cstring>
#include <random>
#include <string>

namespace cibrano::testing {
namespace {

struct ClonePlace {
    bool atBeginning, atEnd;
    int recordNumber;
    AnsiString nome;
    bool operator==(const ClonePlace&) const = default;
};

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class TotalsFromRows : public RecipeFixture {
protected:
    ClonePlace clonePlace() const {
        return {calc.Table2->atBeginning(), calc.Table2->atEnd(), calc.Table2->recordNumber(),
                calc.Table2->hasNoRecords() ? AnsiString() : calc.Table2NOME->stringValue()};
    }

    // The sums and the clone's place after ComputeTotals equal those after the plain walk.
    void expectSameAsWalk(const std::string& step) {
        SCOPED_TRACE(step);
        const std::optional<RecipeTotals> fast = calc.ComputeTotals();
        const ClonePlace fastPlace = clonePlace();
        const std::optional<RecipeTotals> walked = calc.walkCloneTotals();
        const ClonePlace walkedPlace = clonePlace();
        ASSERT_TRUE(fast && walked);
        EXPECT_TRUE(sameBits(fast->Glucidi, walked->Glucidi)) << fast->Glucidi;
        EXPECT_TRUE(sameBits(fast->Proteine, walked->Proteine)) << fast->Proteine;
        EXPECT_TRUE(sameBits(fast->Lipidi, walked->Lipidi)) << fast->Lipidi;
        EXPECT_TRUE(sameBits(fast->Kcalorie, walked->Kcalorie)) << fast->Kcalorie;
        EXPECT_EQ(fastPlace, walkedPlace);
        // The labels the last data change showed are the walk's too.
        if (!shown.empty()) {
            EXPECT_THAT(lastShown(),
                        ::testing::ElementsAreArray(labelTexts(calc.formatTotals(*walked))));
        }
    }

    static std::string amount(std::mt19937& random) {
        switch (random() % 6) {
        case 0:
            return "0";
        case 1:
            return "";
        case 2:
            return "-" + std::to_string(random() % 300) + ".5";
        default:
            return std::to_string(random() % 1000) + "." + std::to_string(random() % 10);
        }
    }

    void randomRow(std::mt19937& random) {
        TZerovTable& t = *calc.Table1;
        calc.Table1Gruppo->setStringValue("G" + std::to_string(random() % 4));
        calc.Table1Nome->setStringValue("Cibo " + std::to_string(random() % 50));
        for (TFloatField* f : {calc.Table1Quantita, calc.Table1Kcalorie, calc.Table1Glucidi,
                               calc.Table1Lipidi, calc.Table1Proteine})
            f->setStringValue(amount(random));
        t.postRecord();
    }

    void goToRandomRow(std::mt19937& random) {
        TZerovTable& t = *calc.Table1;
        if (t.recordCount() > 0)
            t.moveToRecordNumber(1 + static_cast<int>(random() % t.recordCount()));
    }
};

TEST_F(TotalsFromRows, EqualTheWalkThroughRandomCommands) {
    useFoodTable();
    calc.OpenRecipeTables();
    expectSameAsWalk("start");
    std::mt19937 random(20261208);
    TZerovTable& t = *calc.Table1;
    TField* sortFields[] = {calc.Table1Nome, calc.Table1Gruppo, calc.Table1Kcalorie,
                            calc.Table1Quantita};
    for (int step = 0; step < 400; ++step) {
        const unsigned op = random() % 10;
        std::string what = std::to_string(step) + " op " + std::to_string(op);
        switch (op) {
        case 0:
        case 1:
            t.beginAppend();
            randomRow(random);
            break;
        case 2:
            goToRandomRow(random);
            t.beginInsert();
            randomRow(random);
            break;
        case 3:
        case 4:
            goToRandomRow(random);
            if (!t.hasNoRecords()) {
                t.beginEdit();
                calc.Table1Quantita->setStringValue(amount(random));
                t.postRecord();
            }
            break;
        case 5:
            goToRandomRow(random);
            if (!t.hasNoRecords())
                t.deleteRecord();
            break;
        case 6:
            if (random() % 2)
                calc.ShowUsedRowsOnly();
            else
                calc.ShowAllRows();
            break;
        case 7:
            if (random() % 4 == 0)
                t.setIndexFieldNames("");
            else
                calc.SortByField(sortFields[random() % 4]);
            break;
        case 8:
            calc.ZerovFindEdit1->setText(random() % 3 ? "cibo " + std::to_string(random() % 9)
                                                      : "");
            manualTimerClock().advance(TZerovFindEdit::kSearchDelay);
            break;
        default:
            if (random() % 8 == 0)
                calc.ZeroAllQuantities();
            else if (random() % 8 == 0)
                t.discardChanges();
            break;
        }
        expectSameAsWalk(what);
        if (::testing::Test::HasFailure())
            break;
    }
}

TEST_F(TotalsFromRows, EqualTheWalkOnAnEmptyTableAndOnOneRow) {
    writeFoodTable({});
    calc.OpenRecipeTables();
    expectSameAsWalk("empty");
    calc.Table1->beginAppend();
    calc.Table1Nome->setStringValue("Riso");
    calc.Table1Quantita->setStringValue("80");
    calc.Table1Glucidi->setStringValue("77.5");
    calc.Table1->postRecord();
    expectSameAsWalk("one row");
    EXPECT_THAT(lastShown(), ::testing::ElementsAre("62.0", "0.0", "0.0", "0.0"));
}

// Values written into the stored records by a record filter (in the filter state a field
// write goes straight into the record) count at the next computation, as the walk sees them.
TEST_F(TotalsFromRows, ValuesAFilterWritesIntoTheRecordsCount) {
    useFoodTable();
    calc.OpenRecipeTables();
    expectSameAsWalk("start");
    calc.Table1->setOnFilterRecord([&](TDataSet*, bool& accept) {
        calc.Table1Quantita->setFloatValue(calc.Table1Quantita->floatValue() + 7);
        accept = true;
    });
    calc.Table1->setFiltered(true);
    expectSameAsWalk("filtered with writes");
    const std::optional<RecipeTotals> totals = calc.ComputeTotals();
    ASSERT_TRUE(totals);
    EXPECT_NE(labelTexts(calc.formatTotals(*totals)),
              std::vector<AnsiString>({"68.5", "10.2", "11.4", "400.8"}));
}

// Data changes that leave the clone's rows as they were give the last sums again; a posted
// value gives new ones.
TEST_F(TotalsFromRows, UnchangedRowsGiveTheLastSumsAndAPostNewOnes) {
    useFoodTable();
    calc.OpenRecipeTables();
    goTo("Parmigiano");
    calc.Table1->beginEdit();
    calc.Table1Quantita->setStringValue("1000");
    expectSameAsWalk("typed, not posted");
    EXPECT_THAT(lastShown(), ::testing::ElementsAre("68.5", "10.2", "11.4", "400.8"));
    calc.Table1->postRecord();
    expectSameAsWalk("posted");
    EXPECT_NE(lastShown(), std::vector<AnsiString>({"68.5", "10.2", "11.4", "400.8"}));
    calc.Table1->moveFirst();
    expectSameAsWalk("moved");
}

TEST_F(TotalsFromRows, TheWalkRunsWhenSomethingWatchesTheClone) {
    useFoodTable();
    calc.OpenRecipeTables();
    int scrolls = 0;
    calc.Table2->AfterScroll = [&](TDataSet*) { ++scrolls; };
    calc.ComputeTotals();
    // moveFirst, then one moveNext per row of the five.
    EXPECT_EQ(scrolls, 6);

    calc.Table2->AfterScroll = nullptr;
    TDataSource watcher;
    int changes = 0;
    watcher.OnDataChange = [&](TDataSource*, TField*) { ++changes; };
    watcher.setDataSet(calc.Table2);
    changes = 0;
    calc.ComputeTotals();
    const int changesOfComputeTotals = changes;
    changes = 0;
    calc.walkCloneTotals();
    EXPECT_GE(changes, 6);
    EXPECT_EQ(changesOfComputeTotals, changes);
    expectSameAsWalk("watched");
}

} // namespace
} // namespace cibrano::testing

// The table dataset's Filter text and its searches: which records the conditions keep, the
// errors of parsing and of binding to the table, find first/last/next/prior with and without
// Filtered, locate with and without options, and lookup that does not move.

#include "tests/engine/DOvuzaZerivirTestSupport.h"

#include "dataset/DataLink.h"
#include "platform/DatabaseError.h"

#include <gmock/gmock.h>

#include <cstring>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::ThrowsMessage;

const AnsiString kPasta = "Pasta di semola";
const AnsiString kOlio = "Olio extravergine d'oliva";
const AnsiString kPomodori = "Pomodori maturi";
const AnsiString kParmigiano = "Parmigiano";
const AnsiString kLatte = "Latte intero pastorizzato di alta qualit\xE0";

class DOvuzaZerivirSearch : public TableFixture {
protected:
    static AnsiString name(TDataSet& t) { return t.fieldByName("Nome")->stringValue(); }
    // Keeps the foods with a quantity, reading the candidate record.
    static void acceptQuantities(TDataSet& t) {
        t.OnFilterRecord = [](TDataSet* ds, bool& accept) {
            accept = ds->fieldByName("Quantita")->floatValue() > 0;
        };
    }
};

TEST_F(DOvuzaZerivirSearch, FilterConditionsKeepTheRecordsThatPassThemAll) {
    struct Case {
        const char* filter;
        bool caseInsensitive;
        std::vector<AnsiString> names;
    };
    const std::vector<Case> cases = {
        {"Nome LIKE 'pa%'", false, {kPasta, kParmigiano}},
        {"nome like 'PO%' AND Kcalorie < 100", false, {kPomodori}},
        {"Glucidi > Proteine", false, {kPasta, kPomodori, kLatte}},
        {"Gruppo = 'Nome'", false, {}}, // a quoted field name is the field
        {"Nome = 'parmigiano'", false, {}},
        {"Nome = 'parmigiano'", true, {kParmigiano}},
        {"Nome = 'Parmigiano e altro'", false, {}}, // compared in full, not cut to a prefix
        {"Kcalorie >= 353", false, {kPasta, kOlio, kParmigiano}},
        {"Quantita = NULL", false, {kParmigiano, kLatte}},
        {"Gruppo <> 'Formaggi' AND Lipidi <= 1.4", false, {kPasta, kPomodori}},
        {"Nome *= 'x'", false, {kPasta, kOlio, kPomodori, kParmigiano, kLatte}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        TImageTable t;
        openFood(t);
        if (c.caseInsensitive)
            t.setFilterOptions({foCaseInsensitive});
        t.setFilter(c.filter);
        t.setFiltered(true);
        EXPECT_THAT(column(t, "Nome"), ElementsAreArray(c.names));
    }
}

TEST_F(DOvuzaZerivirSearch, BindingErrorsComeWhenTheRecordsAreRebuilt) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"Peso > 1", "Field Peso is not found"},
        {"Nome = Peso", "Field Peso is not found"},
        {"Nome = Kcalorie", "Types of compared fields are not equal"},
        {"Kcalorie > 'molte'", "'molte' is not a valid value for field Kcalorie"},
        {"Kcalorie = TRUE", "'TRUE' is not a valid value for field Kcalorie"},
    };
    for (const auto& [filter, message] : cases) {
        SCOPED_TRACE(filter);
        TImageTable t;
        openFood(t);
        t.setFilter(filter); // parses; nothing is bound while not filtered
        EXPECT_THAT([&] { t.setFiltered(true); }, ThrowsMessage<EDatabaseError>(message));
        EXPECT_EQ(t.State(), stateBrowse);
        EXPECT_FALSE(t.controlsSuspended());
    }
}

TEST_F(DOvuzaZerivirSearch, AFilterThatDoesNotParseKeepsTheTextAndWhatWasReadBeforeTheError) {
    TImageTable t;
    openFood(t);
    t.setFiltered(true);
    t.setFilter("Kcalorie > 300");
    EXPECT_THAT(column(t, "Nome"), ElementsAre(kPasta, kOlio, kParmigiano));

    // Conditions are joined by AND only; the one before OR was read and stays.
    EXPECT_THAT([&] { t.setFilter("Nome LIKE 'p%' OR Kcalorie > 0"); },
                ThrowsMessage<EDatabaseError>("Error in comparison expression"));
    EXPECT_EQ(t.Filter(), "Kcalorie > 300");
    ASSERT_EQ(t.filterConditions().size(), 1u);
    EXPECT_EQ(t.filterConditions()[0].leftOperand, "Nome");
    t.setSortOptions({}); // rebuilds
    EXPECT_THAT(column(t, "Nome"), ElementsAre(kPasta, kPomodori, kParmigiano));

    // A tokenizer error leaves no conditions at all.
    EXPECT_THAT(
        [&] { t.setFilter("Nome\t= 'x'"); },
        ThrowsMessage<EDatabaseError>("Invalid symbol in parameter/identificator/reserved word"));
    EXPECT_TRUE(t.filterConditions().empty());
    EXPECT_EQ(t.Filter(), "Kcalorie > 300");
    t.setSortOptions({});
    EXPECT_EQ(t.recordCount(), 5);
}

TEST_F(DOvuzaZerivirSearch, FindStepsOnAnUnfilteredDatasetAskTheFilterAboutEachCandidate) {
    TImageTable t;
    openFood(t);
    // A window of several records, as a grid keeps: the engine's cursor is then seldom on the
    // current record, and the steps must count from the current one.
    TDataSource source;
    source.setDataSet(&t);
    TDataLink link;
    link.setBufferCount(5);
    link.setDataSource(&source);
    int before = 0, after = 0;
    t.BeforeScroll = [&](TDataSet*) { ++before; };
    t.AfterScroll = [&](TDataSet*) { ++after; };
    acceptQuantities(t);

    EXPECT_TRUE(t.findFirst());
    EXPECT_EQ(name(t), kPasta);
    EXPECT_TRUE(t.findNext());
    EXPECT_EQ(name(t), kOlio);
    EXPECT_TRUE(t.findNext());
    EXPECT_EQ(name(t), kPomodori);
    EXPECT_FALSE(t.findNext()); // Parmigiano and Latte have no quantity
    EXPECT_EQ(name(t), kPomodori);
    EXPECT_EQ(t.recordNumber(), 3);
    EXPECT_TRUE(t.findPrior());
    EXPECT_EQ(name(t), kOlio);
    EXPECT_TRUE(t.findLast());
    EXPECT_EQ(name(t), kPomodori);
    EXPECT_EQ(before, 6);
    EXPECT_EQ(after, 5); // only a step that found a record scrolls
    EXPECT_EQ(t.recordCount(), 5);

    // The Filter text takes part too; with neither test the next record is found.
    t.OnFilterRecord = nullptr;
    t.setFilter("Nome LIKE 'p%'");
    EXPECT_TRUE(t.findFirst());
    EXPECT_TRUE(t.findNext());
    EXPECT_EQ(name(t), kPomodori);
    t.setFilter("");
    EXPECT_TRUE(t.findNext());
    EXPECT_EQ(name(t), kParmigiano);
}

TEST_F(DOvuzaZerivirSearch, FindStepsOnAFilteredDatasetMoveWithinTheVisibleRecords) {
    TImageTable t;
    openFood(t);
    acceptQuantities(t);
    t.setFiltered(true);
    t.moveLast();
    EXPECT_TRUE(t.findFirst());
    EXPECT_EQ(t.recordNumber(), 1);
    EXPECT_EQ(name(t), kPasta);
    EXPECT_FALSE(t.findPrior());
    EXPECT_TRUE(t.findLast());
    EXPECT_EQ(name(t), kPomodori);
    EXPECT_FALSE(t.findNext());
    EXPECT_TRUE(t.findPrior());
    EXPECT_EQ(name(t), kOlio);
}

TEST_F(DOvuzaZerivirSearch, LocateWithOptionsScansTheViewInOrder) {
    struct Case {
        const char* field;
        TVariant value;
        TLocateOptions options;
        AnsiString found; // empty: not found, the current record stays
    };
    const std::vector<Case> cases = {
        {"Nome", "pa", {loPartialKey, loCaseInsensitive}, kParmigiano},
        {"Nome", "pa", {loPartialKey}, ""},
        {"Nome", "Pa", {loPartialKey}, kParmigiano},
        {"Nome", "", {loPartialKey}, ""},
        {"Nome", "PASTA DI SEMOLA", {loCaseInsensitive}, kPasta},
        {"Nome", "PASTA", {loCaseInsensitive}, ""},
        {"Kcalorie", 19, {loCaseInsensitive}, kPomodori},
        {"Kcalorie", "molte", {loCaseInsensitive}, ""},
        {"Nome", TVariant::null(), {loCaseInsensitive}, ""},
    };
    TImageTable t;
    openFood(t);
    t.setIndexFieldNames("Nome"); // Latte, Olio, Parmigiano, Pasta, Pomodori
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.isNull() ? AnsiString("null") : c.value.asString());
        t.moveToRecordNumber(2);
        const bool found = t.locate(c.field, c.value, c.options);
        EXPECT_EQ(found, !c.found.empty());
        EXPECT_EQ(name(t), c.found.empty() ? kOlio : c.found);
    }
}

TEST_F(DOvuzaZerivirSearch, LocateWithoutOptionsFindsTheFirstEqualRecordByKey) {
    TImageTable t;
    std::vector<std::vector<std::string>> rows;
    int n = 0;
    for (const char* v : {"c", "b", "a", "b", "B", "c", "b", "a", "b", "d", "b", "abcdefghij"})
        rows.push_back({v, std::to_string(n++)});
    t.image = tableImage({{"Name", ftString, 10}, {"Row", ftInteger, 0}}, rows);
    t.open();
    for (TZerovSortOptions options : {TZerovSortOptions{}, TZerovSortOptions{vsoDescendSort}}) {
        t.setSortOptions(options);
        t.setIndexFieldNames("Name");
        ASSERT_TRUE(t.keyOrderUsable("Name"));
        int first = 0;
        while (t.storedText(first, "Name") != "b")
            ++first;
        t.moveToRecordNumber(1);
        EXPECT_TRUE(t.locate("Name", "b", {}));
        EXPECT_EQ(t.recordNumber(), first + 1);
        EXPECT_TRUE(t.locate("name", "B", {})); // exact keys compare case-sensitively
        EXPECT_EQ(t.fieldByName("Row")->integerValue(), 4);
        EXPECT_FALSE(t.locate("Name", "e", {}));
        EXPECT_EQ(t.fieldByName("Row")->integerValue(), 4);
        t.setIndexFieldNames("");
    }
    EXPECT_TRUE(t.locate("Name;Row", TVariant::array({"b", 6}), {}));
    EXPECT_EQ(t.recordNumber(), 7);
    // A value the field cannot hold finds nothing, rather than the records holding 0.
    EXPECT_FALSE(t.locate("Row", "zero", {}));
    EXPECT_FALSE(t.locate("Name", "abcdefghijk", {}));
    EXPECT_EQ(t.recordNumber(), 7);
}

TEST_F(DOvuzaZerivirSearch, LookupReadsTheFirstMatchWithoutTouchingTheCurrentRecord) {
    TImageTable t;
    openFood(t);
    int scrolls = 0;
    t.BeforeScroll = [&](TDataSet*) { ++scrolls; };
    t.AfterScroll = [&](TDataSet*) { ++scrolls; };
    t.moveToRecordNumber(3);
    t.beginEdit();
    t.fieldByName("Quantita")->setFloatValue(5);
    scrolls = 0;
    const int position = t.viewPosition();
    const size_t size = static_cast<size_t>(t.trailerOffset() + DOvuzaZerivir::kTrailerSize);
    std::vector<std::string> window;
    for (int i = 0; i < t.filledCount(); ++i)
        window.emplace_back(reinterpret_cast<const char*>(t.bufferAt(i)), size);

    EXPECT_EQ(t.lookup("Nome", kParmigiano, "Kcalorie"), TVariant(387.0));
    EXPECT_EQ(t.lookup("Nome", kParmigiano, "Gruppo;Lipidi"), TVariant::array({"Formaggi", 28.1}));
    EXPECT_TRUE(t.lookup("Nome", "Pane", "Kcalorie").isNull());
    EXPECT_TRUE(t.lookup("Kcalorie", "molte", "Nome").isNull());

    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(t.viewPosition(), position);
    EXPECT_EQ(t.State(), stateEdit);
    EXPECT_TRUE(t.Modified());
    ASSERT_EQ(t.filledCount(), static_cast<int>(window.size()));
    for (int i = 0; i < t.filledCount(); ++i)
        EXPECT_EQ(std::memcmp(t.bufferAt(i), window[static_cast<size_t>(i)].data(), size), 0);
    EXPECT_EQ(t.fieldByName("Quantita")->floatValue(), 5);
}

} // namespace
} // namespace cibrano::testing

#include "../dataset/MemoryDataSet.h"
#include "../platform/ErrorMessage.h"

#include "dataset/DataSource.h"
#include "dataset/FieldDataLink.h"
#include "engine/VolFndEd.h"
#include "platform/Timer.h"
#include "tests/engine/EngineTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace cibrano;
using namespace cibrano::testkit;
using ::testing::ElementsAre;

namespace {

using Names = std::vector<std::string>;

// The food list of the main window with its find box, on a clock that moves only by hand.
class FindEdit : public ::testing::Test {
protected:
    FindEdit() {
        setTimerFactory([this] { return clock.createTimer(); });
        ds.setName("Table1");
        ds.addColumn("Gruppo", ftString, 30);
        ds.addColumn("Nome", ftString, 50);
        ds.addColumn("Quantita", ftFloat);
        ds.addRow({"Cereali", "Pasta", 100});
        ds.addRow({"Cereali", "Riso", 0});
        ds.addRow({"Frutta", "Mela", 0});
        ds.addRow({"Frutta", "Pera", 150});
        ds.addRow({"Verdura", "Patate", 0});
        ds.addRow({"Spezie", "PAPRICA", 20});
        ds.addRow({"Dolci", "Marzapane", 0});
        src.setDataSet(&ds);
        box = std::make_unique<TZerovFindEdit>();
        box->setName("ZerovFindEdit1");
        box->setDataSource(&src);
        box->setDataField("Nome");
        ds.open();
    }
    ~FindEdit() override {
        box.reset();
        setTimerFactory(nullptr);
    }

    // The main window's arrangement: filter style, matching anywhere in the name.
    void useFilterStyle() {
        box->setFindStyle(vfsFilter);
        box->setFindMode(vfmAnyPos);
    }
    // The application's filter: only the foods used in the recipe.
    void installQuantityFilter(bool filtered) {
        ds.setOnFilterRecord([this](TDataSet* d, bool& accept) {
            ++quantityFilterRuns;
            accept = d->fieldByName("Quantita")->floatValue() != 0;
        });
        ds.setFiltered(filtered);
    }
    void type(const AnsiString& text) {
        box->setText(text);
        clock.advance(TZerovFindEdit::kSearchDelay);
    }
    std::string current() { return ds.fieldByName("Nome")->stringValue(); }
    Names visible() {
        Names names;
        for (ds.moveFirst(); !ds.atEnd(); ds.moveNext())
            names.push_back(current());
        return names;
    }

    cibrano::testing::FixedRegionalSettings regionalSettings;
    ManualTimerClock clock;
    TMemoryDataSet ds;
    TDataSource src;
    std::unique_ptr<TZerovFindEdit> box;
    int quantityFilterRuns = 0;
};

TEST_F(FindEdit, QuickKeystrokesRunOneLocate100msAfterTheLast) {
    int changes = 0;
    box->OnChange = [&](TZerovFindEdit*) { ++changes; };
    box->setText("r");
    clock.advance(60);
    box->setText("ri");
    clock.advance(60);
    box->setText("ris");
    clock.advance(99);
    EXPECT_TRUE(ds.locateCalls.empty());
    EXPECT_TRUE(box->searchPending());
    clock.advance(1);
    ASSERT_EQ(ds.locateCalls.size(), 1u);
    EXPECT_EQ(ds.locateCalls[0].fields, "Nome");
    EXPECT_EQ(ds.locateCalls[0].values, TVariant("ris"));
    EXPECT_EQ(ds.locateCalls[0].options, TLocateOptions({loPartialKey, loCaseInsensitive}));
    EXPECT_EQ(current(), "Riso");
    EXPECT_EQ(changes, 3);
    EXPECT_FALSE(ds.Filtered()) << "navigating never filters";

    clock.advance(1000);
    EXPECT_EQ(ds.locateCalls.size(), 1u) << "one search per pause, not a repeating timer";
    box->setFindMode(vfmAnyPos);
    EXPECT_EQ(box->FindMode(), vfmFirstPos) << "locating matches keys from their start";
    box->setIgnoreCase(false);
    type("Pe");
    ASSERT_EQ(ds.locateCalls.size(), 2u);
    EXPECT_EQ(ds.locateCalls[1].options, TLocateOptions({loPartialKey}));
    EXPECT_EQ(current(), "Pera");
}

TEST_F(FindEdit, FilterStyleMatchesAnywhereOrAtTheStartInEitherCase) {
    useFilterStyle();
    type("pa");
    EXPECT_TRUE(ds.Filtered());
    EXPECT_TRUE(box->hooked());
    EXPECT_EQ(current(), "Pasta") << "the rebuilt list starts on its first record";
    EXPECT_THAT(visible(), ElementsAre("Pasta", "Patate", "PAPRICA", "Marzapane"));

    box->setIgnoreCase(false);
    EXPECT_THAT(visible(), ElementsAre("Marzapane")) << "only the lower-case occurrence";

    box->setIgnoreCase(true);
    box->setFindMode(vfmFirstPos);
    EXPECT_THAT(visible(), ElementsAre("Pasta", "Patate", "PAPRICA"));
    EXPECT_TRUE(ds.locateCalls.empty());
}

TEST_F(FindEdit, TheApplicationsFilterStaysInForceUnderASearchAndComesBackAfterIt) {
    installQuantityFilter(true);
    useFilterStyle();
    type("p");
    type("pa");
    EXPECT_THAT(visible(), ElementsAre("Pasta", "PAPRICA"));

    type("");
    EXPECT_FALSE(box->hooked());
    EXPECT_TRUE(ds.Filtered());
    quantityFilterRuns = 0;
    EXPECT_THAT(visible(), ElementsAre("Pasta", "Pera", "PAPRICA"));
    EXPECT_GT(quantityFilterRuns, 0) << "the application's own handler is back in place";
}

TEST_F(FindEdit, ClearingGivesBackAnUnfilteredDatasetWithItsHandler) {
    installQuantityFilter(false);
    useFilterStyle();
    type("pa");
    EXPECT_THAT(visible(), ElementsAre("Pasta", "Patate", "PAPRICA", "Marzapane"))
        << "the handler of an unfiltered dataset is not chained";
    EXPECT_EQ(quantityFilterRuns, 0);

    type("");
    EXPECT_FALSE(ds.Filtered());
    EXPECT_EQ(visible().size(), 7u);
    ds.setFiltered(true);
    EXPECT_THAT(visible(), ElementsAre("Pasta", "Pera", "PAPRICA"));
}

// A text typed and erased within the wait leaves nothing to give back: the application's
// filter must not be replaced by the (empty) values the box never took from it.
TEST_F(FindEdit, ATextErasedBeforeItsSearchLeavesTheApplicationsFilterAlone) {
    installQuantityFilter(true);
    useFilterStyle();
    box->setText("x");
    box->setText("");
    clock.advance(500);
    EXPECT_TRUE(ds.Filtered());
    EXPECT_THAT(visible(), ElementsAre("Pasta", "Pera", "PAPRICA"));
}

TEST_F(FindEdit, ANewDataFieldServesTheNextSearch) {
    type("pe");
    EXPECT_EQ(current(), "Pera");
    box->setDataField("Gruppo");
    box->setDataField("");
    EXPECT_EQ(box->DataField(), "Gruppo") << "an empty name is ignored";
    clock.advance(1000);
    EXPECT_EQ(ds.locateCalls.size(), 1u) << "the standing text is not searched again";
    EXPECT_EQ(current(), "Pera");

    type("fr");
    ASSERT_EQ(ds.locateCalls.size(), 2u);
    EXPECT_EQ(ds.locateCalls[1].fields, "Gruppo");
    EXPECT_EQ(current(), "Mela");

    EXPECT_EQ(messageOf([&] { box->setDataField("Calorie"); }),
              "ZerovFindEdit1: Field 'Calorie' not found");
}

TEST_F(FindEdit, DestroyingTheBoxGivesTheHandlerBackEvenWithTheDatasetClosed) {
    installQuantityFilter(true);
    useFilterStyle();
    type("pa");
    box.reset();
    EXPECT_TRUE(ds.Filtered());
    EXPECT_THAT(visible(), ElementsAre("Pasta", "Pera", "PAPRICA"));

    box = std::make_unique<TZerovFindEdit>();
    box->setDataSource(&src);
    box->setDataField("Nome");
    useFilterStyle();
    type("pa");
    ds.close();
    box.reset();
    ds.open();
    EXPECT_THAT(visible(), ElementsAre("Pasta", "Pera", "PAPRICA"))
        << "the closed dataset does not keep calling into the destroyed box";
}

TEST_F(FindEdit, ADestroyedDataSourceLeavesTheBoxWithoutOne) {
    auto source = std::make_unique<TDataSource>();
    source->setDataSet(&ds);
    box->setDataSource(source.get());
    EXPECT_TRUE(box->dataLink().Active());
    source.reset();
    EXPECT_EQ(box->DataSource(), nullptr);
    type("pa");
    EXPECT_TRUE(ds.locateCalls.empty());
}

// A box switched from filter to navigate style while its filter stands still takes it away
// when its text is cleared.
TEST_F(FindEdit, ClearingRemovesAStandingFilterAfterASwitchToNavigating) {
    installQuantityFilter(false);
    useFilterStyle();
    type("pa");
    box->setFindStyle(vfsNavigate);
    type("");
    EXPECT_FALSE(box->hooked());
    EXPECT_FALSE(ds.Filtered());
    EXPECT_EQ(visible().size(), 7u);
}

} // namespace

TEST_F(FindEdit, AnEditBegunWhileTheSearchWaitsIsLeftAloneUntilItEnds) {
    useFilterStyle();
    box->setText("pa");
    ds.beginEdit(); // Pasta, as a grid's editor opens on it
    ds.fieldByName("Quantita")->setFloatValue(5);
    clock.advance(TZerovFindEdit::kSearchDelay);
    EXPECT_EQ(ds.State(), stateEdit);
    EXPECT_FALSE(ds.Filtered());
    EXPECT_TRUE(box->searchPending());
    clock.advance(1000);
    EXPECT_EQ(ds.State(), stateEdit);

    // Its end starts the wait again rather than searching inside the cancel.
    ds.cancelRecord();
    EXPECT_FALSE(ds.Filtered());
    EXPECT_TRUE(box->searchPending());
    clock.advance(TZerovFindEdit::kSearchDelay);
    EXPECT_THAT(visible(), ElementsAre("Pasta", "Patate", "PAPRICA", "Marzapane"));
    EXPECT_FALSE(box->searchPending());

    // An edit already open when the text changes is settled by the search.
    ds.moveFirst();
    ds.beginEdit();
    ds.fieldByName("Quantita")->setFloatValue(7);
    type("past");
    EXPECT_EQ(ds.State(), stateBrowse);
    EXPECT_THAT(visible(), ElementsAre("Pasta"));
    EXPECT_EQ(ds.fieldByName("Quantita")->floatValue(), 7);
}

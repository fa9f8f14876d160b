#include "../dataset/MemoryDataSet.h"

#include "dataset/DataSource.h"
#include "dataset/Field.h"
#include "engine/table/ZerovMasterLink.h"
#include "engine/table/ZerovTable.h"
#include "platform/ScriptedUi.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/platform/ErrorMessage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace cibrano;
using ::testing::ElementsAre;
using testkit::messageOf;

namespace {

using Names = std::vector<std::string>;

void addRow(TDataSet& t, const std::vector<std::pair<const char*, AnsiString>>& values) {
    t.beginAppend();
    for (auto& [field, text] : values)
        t.fieldByName(field)->setStringValue(text);
    t.postRecord();
}

// Food groups (master) and foods (detail), both tables in memory.
class MasterLink : public ::testing::Test {
protected:
    MasterLink() {
        groups.setName("Gruppi");
        groups.FieldDefs().add("Gruppo", ftString, 20);
        groups.FieldDefs().add("Descrizione", ftString, 40);
        groups.open();
        for (const char* g : {"Cereali", "Frutta", ""})
            addRow(groups, {{"Gruppo", g}, {"Descrizione", AnsiString("gruppo ") + g}});
        groups.moveFirst();
        groupSource.setDataSet(&groups);

        foods.setName("Alimenti");
        foods.FieldDefs().add("Gruppo", ftString, 20);
        foods.FieldDefs().add("Nome", ftString, 40);
        foods.FieldDefs().add("Quantita", ftFloat);
        foods.open();
        addRow(foods, {{"Gruppo", "Cereali"}, {"Nome", "Pasta"}});
        addRow(foods, {{"Gruppo", "Frutta"}, {"Nome", "Mela"}});
        addRow(foods, {{"Gruppo", "Cereali"}, {"Nome", "Riso"}});
        addRow(foods, {{"Nome", "Sale"}});
        addRow(foods, {{"Gruppo", "Frutta"}, {"Nome", "Pera"}});
        foods.moveFirst();
        foods.setRangeFieldNames("Gruppo");
        foodSource.setDataSet(&foods);
    }

    void link() {
        foods.setMasterFields("Gruppo");
        foods.setMasterSource(&groupSource);
    }
    std::string current() { return foods.fieldByName("Nome")->stringValue(); }
    // The names a table shows, from its first record; the current record stays.
    static Names names(DOvuzaZerivir& t) {
        Names list;
        TBookmark here = t.getBookmark();
        for (t.moveFirst(); !t.atEnd(); t.moveNext())
            list.push_back(t.fieldByName("Nome")->stringValue());
        t.gotoBookmark(here);
        return list;
    }
    Names shown() { return names(foods); }
    cibrano::testing::FixedRegionalSettings regionalSettings;
    ScriptedUi ui;
    TZerovTable groups;
    TDataSource groupSource;
    TZerovTable foods;
    TDataSource foodSource;
};

TEST_F(MasterLink, TheDetailFollowsTheMastersRecordAndStartsOnItsFirstMatch) {
    foods.moveLast();
    link();
    EXPECT_TRUE(foods.rangeActive());
    EXPECT_EQ(current(), "Pasta");
    EXPECT_THAT(shown(), ElementsAre("Pasta", "Riso"));

    groups.moveNext();
    EXPECT_EQ(current(), "Mela");
    EXPECT_THAT(shown(), ElementsAre("Mela", "Pera"));

    groups.moveNext();
    EXPECT_THAT(shown(), ElementsAre("Sale")) << "an empty master value matches empty fields";
    EXPECT_EQ(foods.masterLink().masterKeyText(), "\t");
}

TEST_F(MasterLink, ADetailOpenedUnderALinkStartsInsideTheRange) {
    TZerovTable clone;
    clone.setCloneDS(&foods);
    clone.setRangeFieldNames("Gruppo");
    groups.moveNext();
    clone.setMasterFields("Gruppo");
    clone.setMasterSource(&groupSource);
    EXPECT_FALSE(clone.rangeActive()) << "nothing happens to a closed detail";
    clone.open();
    EXPECT_THAT(names(clone), ElementsAre("Mela", "Pera"));
}

TEST_F(MasterLink, ClearingTheMasterSourceShowsEveryRecordKeepingTheCurrentOne) {
    link();
    foods.moveNext();
    EXPECT_EQ(current(), "Riso");
    foods.setMasterSource(nullptr);
    EXPECT_FALSE(foods.rangeActive());
    EXPECT_EQ(foods.MasterSource(), nullptr);
    EXPECT_EQ(current(), "Riso");
    EXPECT_EQ(foods.recordCount(), 5);

    link();
    groups.close();
    EXPECT_FALSE(foods.rangeActive()) << "a closed master lets the detail show everything";
    EXPECT_EQ(foods.recordCount(), 5);
    groups.open();
    EXPECT_TRUE(foods.rangeActive());
    foods.setMasterFields("");
    EXPECT_FALSE(foods.rangeActive()) << "no master fields, no range";
}

TEST_F(MasterLink, ANewDetailRecordHoldsTheMastersValuesWhenOnNewRecordRuns) {
    link();
    groups.moveNext();
    AnsiString seen = "(not run)";
    foods.OnNewRecord = [&](TDataSet* d) { seen = d->fieldByName("Gruppo")->stringValue(); };
    foods.beginInsert();
    EXPECT_EQ(seen, "Frutta");
    foods.fieldByName("Nome")->setStringValue("Kiwi");
    foods.postRecord();

    // More master fields than range fields: the extra master value has nowhere to go.
    foods.setMasterFields("Gruppo;Descrizione");
    foods.beginAppend();
    EXPECT_EQ(foods.fieldByName("Gruppo")->stringValue(), "Frutta");
    EXPECT_TRUE(foods.fieldByName("Nome")->isNull());
    foods.cancelRecord();
}

TEST_F(MasterLink, ThePendingDetailEditIsSettledBeforeTheMasterMoves) {
    link();
    foods.beginEdit();
    foods.fieldByName("Quantita")->setFloatValue(50);
    groups.moveNext();
    EXPECT_EQ(foods.State(), stateBrowse);
    groups.movePrior();
    EXPECT_EQ(current(), "Pasta");
    EXPECT_EQ(foods.fieldByName("Quantita")->floatValue(), 50) << "posted, not dropped";

    foods.beginEdit();
    foods.fieldByName("Quantita")->setFloatValue(70);
    groups.beginEdit();
    groups.cancelRecord();
    EXPECT_EQ(foods.State(), stateBrowse) << "the master leaving its edit settles the detail too";
    EXPECT_EQ(foods.fieldByName("Quantita")->floatValue(), 70);
}

TEST_F(MasterLink, OnlyAChangeOfAMasterFieldMovesTheDetail) {
    link();
    groups.beginEdit();
    foods.moveNext();
    EXPECT_EQ(current(), "Riso");
    groups.fieldByName("Descrizione")->setStringValue("pane e pasta");
    EXPECT_EQ(current(), "Riso");
    groups.fieldByName("Gruppo")->setStringValue("Frutta");
    EXPECT_THAT(shown(), ElementsAre("Mela", "Pera"));
    groups.cancelRecord();
    EXPECT_THAT(shown(), ElementsAre("Pasta", "Riso"));
}

TEST_F(MasterLink, CirclesAndMastersThatAreNoTablesAreRefused) {
    EXPECT_EQ(messageOf([&] { foods.setMasterSource(&foodSource); }),
              "Alimenti: Circular data link");
    EXPECT_EQ(foods.MasterSource(), nullptr);
    // A third table following the foods closes a circle when the foods follow it.
    TZerovTable third;
    third.setName("Terzo");
    TDataSource thirdSource;
    thirdSource.setDataSet(&third);
    third.setMasterSource(&foodSource);
    EXPECT_EQ(messageOf([&] { foods.setMasterSource(&thirdSource); }),
              "Alimenti: Circular data link");
    third.setMasterSource(nullptr);

    testkit::TMemoryDataSet plain;
    plain.addColumn("Gruppo", ftString, 20);
    plain.addRow({"Cereali"});
    plain.open();
    TDataSource plainSource;
    plainSource.setDataSet(&plain);
    EXPECT_EQ(messageOf([&] { foods.setMasterSource(&plainSource); }),
              "Alimenti: Use only DOvuzaZerivir descendants for master-detail relationship");
    EXPECT_EQ(foods.MasterSource(), &plainSource) << "the link has moved all the same";
}

TEST_F(MasterLink, AnUnknownMasterFieldIsRefusedAndLeavesNoMasterFields) {
    link();
    EXPECT_EQ(messageOf([&] { foods.setMasterFields("Gruppo;Colore"); }),
              "Gruppi: Field 'Colore' not found");
    EXPECT_FALSE(foods.masterLink().hasMasterFields());
    foods.beginAppend();
    EXPECT_TRUE(foods.fieldByName("Gruppo")->isNull()) << "no master values without fields";
    foods.cancelRecord();
}

} // namespace

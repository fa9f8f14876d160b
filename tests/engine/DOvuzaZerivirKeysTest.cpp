// The table dataset's keys: sort orders of the view, the quicksort's order of equal keys,
// searching by key (binary and linear agree), ranges, and which key texts are refused.

#include "tests/engine/DOvuzaZerivirTestSupport.h"

#include "dataset/BlobField.h"
#include "dataset/StringField.h"
#include "platform/DatabaseError.h"

#include <gmock/gmock.h>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::ThrowsMessage;

class DOvuzaZerivirKeys : public TableFixture {
protected:
    void open(TImageTable& t, const std::vector<FieldDescription>& fields,
              const std::vector<std::vector<std::string>>& rows) {
        t.image = tableImage(fields, rows);
        t.open();
    }
};

TEST_F(DOvuzaZerivirKeys, TextsSortEmptyFirstWithTheCaseRuleAndDirectionAsked) {
    TImageTable t;
    open(t, {{"Name", ftString, 10}}, {{"b"}, {""}, {"C"}, {"a"}, {"AB"}});
    t.setIndexFieldNames("Name");
    EXPECT_TRUE(t.viewSorted());
    EXPECT_THAT(column(t, "Name"), ElementsAre("", "AB", "C", "a", "b"));
    t.setSortOptions({vsoCaseInsensitive});
    EXPECT_THAT(column(t, "Name"), ElementsAre("", "a", "AB", "b", "C"));
    t.setSortOptions({vsoCaseInsensitive, vsoDescendSort});
    EXPECT_THAT(column(t, "Name"), ElementsAre("C", "b", "AB", "a", ""));
    t.setSortOptions({vsoDescendSort});
    EXPECT_THAT(column(t, "Name"), ElementsAre("b", "a", "C", "AB", ""));
    // Sorting orders the view only.
    EXPECT_EQ(fieldValueAsText(*t.store()->fieldAt(0), *t.store()->recordAt(0)), "b");

    t.setIndexFieldNames("");
    EXPECT_THAT(column(t, "Name"), ElementsAre("b", "", "C", "a", "AB"));
}

TEST_F(DOvuzaZerivirKeys, BooleansSortTrueFirstAndLaterKeysBreakTies) {
    TImageTable t;
    open(t, {{"Flag", ftBoolean, 0}, {"Num", ftInteger, 0}},
         {{"No", "4"}, {"Yes", "3"}, {"No", "1"}, {"Yes", "2"}});
    t.setIndexFieldNames("Flag;Num");
    EXPECT_THAT(column(t, "Num"), ElementsAre("2", "3", "1", "4"));
}

TEST_F(DOvuzaZerivirKeys, RightJustifiedTextKeysOrderShorterValuesFirst) {
    TImageTable t;
    open(t, {{"Code", ftString, 10}, {"Long", ftString, 60}},
         {{"10", "10"}, {"9", "9"}, {"100", "100"}, {"2", "2"}});
    t.setIndexFieldNames("Code");
    EXPECT_THAT(column(t, "Code"), ElementsAre("10", "100", "2", "9"));

    for (const char* name : {"Code", "Long"}) {
        SCOPED_TRACE(name);
        t.fieldByName(name)->setAlignment(taRightJustify);
        t.setIndexFieldNames("");
        t.setIndexFieldNames(name);
        EXPECT_THAT(column(t, name), ElementsAre("2", "9", "10", "100"));
        // Searching and ranges order the same way, so a binary search still finds.
        t.prepareKey(searchKey, name);
        t.fillKeyFromText(searchKey, "10\t");
        ASSERT_TRUE(t.keyOrderUsable(name));
        EXPECT_EQ(t.findByKey(0, true), 2);
        t.setRangeFieldNames(name);
        t.setRange("9\t", "10\t");
        EXPECT_THAT(column(t, name), ElementsAre("9", "10"));
        t.cancelRange();
        t.setRangeFieldNames("");
    }
}

TEST_F(DOvuzaZerivirKeys, EqualKeysTakeTheOrderTheQuicksortLeaves) {
    TImageTable t;
    open(t, {{"Key", ftInteger, 0}, {"Id", ftString, 5}},
         {{"1", "a"}, {"0", "b"}, {"1", "c"}, {"0", "d"}, {"1", "e"}});
    t.setIndexFieldNames("Key");
    // Worked by hand: partition around c swaps a/e and c/d, then [e b d] and [c a] are sorted.
    EXPECT_THAT(column(t, "Id"), ElementsAre("d", "b", "e", "a", "c"));
}

TEST_F(DOvuzaZerivirKeys, BinaryAndLinearSearchFindTheSameFirstRecord) {
    TImageTable t;
    std::vector<std::vector<std::string>> rows;
    for (int v : {3, 1, 2, 3, 1, 5, 3, 2, 0, 5})
        rows.push_back({std::to_string(v), std::to_string(rows.size())});
    open(t, {{"Num", ftInteger, 0}, {"Row", ftInteger, 0}}, rows);
    for (TZerovSortOptions options : {TZerovSortOptions{}, TZerovSortOptions{vsoDescendSort}}) {
        t.setSortOptions(options);
        t.setIndexFieldNames("Num");
        ASSERT_TRUE(t.keyOrderUsable("Num"));
        t.prepareKey(searchKey, "Num");
        for (int v = -1; v <= 6; ++v) {
            SCOPED_TRACE(v);
            t.fillKeyFromText(searchKey, std::to_string(v) + "\t");
            int linear = t.findByKey(0, false);
            EXPECT_EQ(t.findByKey(0, true), linear);
            if (v == 3) {
                ASSERT_GE(linear, 0);
                EXPECT_EQ(t.storedText(linear, "Num"), "3");
                if (linear > 0) {
                    EXPECT_NE(t.storedText(linear - 1, "Num"), "3");
                }
            }
            if (v == 4 || v < 0 || v == 6) {
                EXPECT_EQ(linear, -1);
            }
        }
        t.setIndexFieldNames("");
    }
}

TEST_F(DOvuzaZerivirKeys, BinarySearchNeedsACaseSensitiveViewSortedOnALeadingKey) {
    TImageTable t;
    open(t, {{"Name", ftString, 10}, {"Num", ftInteger, 0}}, {{"a", "1"}, {"b", "2"}});
    EXPECT_FALSE(t.keyOrderUsable("Name"));
    t.setIndexFieldNames("Name;Num");
    EXPECT_TRUE(t.keyOrderUsable("name"));
    EXPECT_TRUE(t.keyOrderUsable("Name;Num"));
    EXPECT_FALSE(t.keyOrderUsable("Nam"));
    EXPECT_FALSE(t.keyOrderUsable("Num"));
    t.setSortOptions({vsoCaseInsensitive});
    EXPECT_FALSE(t.keyOrderUsable("Name"));
    t.setSortOptions({});
    t.beginEdit();
    t.postRecord();
    EXPECT_FALSE(t.keyOrderUsable("Name")); // a post may have broken the order
}

TEST_F(DOvuzaZerivirKeys, SettingTheSameIndexAgainDoesNotSortAgain) {
    TImageTable t;
    open(t, {{"Num", ftInteger, 0}}, {{"3"}, {"1"}, {"2"}});
    t.setIndexFieldNames("Num");
    t.moveFirst();
    t.beginEdit();
    t.fieldByName("Num")->setIntegerValue(9);
    t.postRecord();
    t.setIndexFieldNames("Num");
    EXPECT_THAT(column(t, "Num"), ElementsAre("9", "2", "3"));
    t.setIndexFieldNames("num");
    EXPECT_THAT(column(t, "Num"), ElementsAre("2", "3", "9"));
}

TEST_F(DOvuzaZerivirKeys, ARangeWithEqualBoundsShowsExactlyTheMatchingRecords) {
    TImageTable t;
    open(t, {{"Group", ftString, 10}, {"Name", ftString, 10}},
         {{"fruit", "pear"},
          {"veg", "leek"},
          {"fruit", "apple"},
          {"", "salt"},
          {"fruit", "fig"},
          {"veg", "kale"}});
    t.setRangeFieldNames("Group;Name");
    t.moveToRecordNumber(2);
    t.setRange("fruit\t", "fruit\t"); // only the first range field is compared
    EXPECT_TRUE(t.rangeActive());
    EXPECT_EQ(t.recordNumber(), 1);
    EXPECT_THAT(column(t, "Name"), ElementsAre("pear", "apple", "fig"));

    t.setRange("fruit\tapple\t", "fruit\tfig\t");
    EXPECT_THAT(column(t, "Name"), ElementsAre("apple", "fig"));

    // An empty value leaves the slot empty: the records whose field is empty.
    t.setRange("\t", "\t");
    EXPECT_THAT(column(t, "Name"), ElementsAre("salt"));

    t.setRange("fruit\t", "fruit\t");
    t.moveLast(); // fig
    t.cancelRange();
    EXPECT_FALSE(t.rangeActive());
    EXPECT_EQ(t.recordCount(), 6);
    EXPECT_EQ(t.fieldByName("Name")->stringValue(), "fig");
}

TEST_F(DOvuzaZerivirKeys, SettingARangeDropsAPendingEdit) {
    TImageTable t;
    open(t, {{"Num", ftInteger, 0}}, {{"1"}, {"2"}});
    t.setRangeFieldNames("Num");
    t.beginEdit();
    t.fieldByName("Num")->setIntegerValue(7);
    t.setRange("1\t", "2\t");
    EXPECT_EQ(t.State(), stateBrowse);
    EXPECT_THAT(column(t, "Num"), ElementsAre("1", "2"));
}

TEST_F(DOvuzaZerivirKeys, CalculatedAndBlobFieldsCannotBeKeys) {
    TImageTable t;
    t.setName("Table1");
    auto* name = new TStringField(&t);
    name->setFieldName("Name");
    name->setSize(10);
    name->setDataSet(&t);
    auto* calc = new TStringField(&t);
    calc->setFieldName("Calc");
    calc->setFieldKind(fkCalculated);
    calc->setDataSet(&t);
    auto* memo = new TMemoField(&t);
    memo->setFieldName("Memo");
    memo->setDataSet(&t);
    open(t, {{"Name", ftString, 10}, {"Memo", ftMemo, 0}}, {{"a", ""}});
    for (const char* key : {"Calc", "Name;Memo"})
        EXPECT_THAT([&] { t.setIndexFieldNames(key); },
                    ThrowsMessage<EDatabaseError>(
                        "Table1: There are calc or BLOB fields in list of key fields"));
    EXPECT_THROW(t.setIndexFieldNames("Missing"), EDatabaseError);
    // A refused key leaves the order as it was.
    t.setIndexFieldNames("Name");
    EXPECT_THROW(t.setIndexFieldNames("Calc"), EDatabaseError);
    EXPECT_EQ(t.IndexFieldNames(), "Name");
    EXPECT_TRUE(t.viewSorted());
}

TEST_F(DOvuzaZerivirKeys, RangesNeedTheStore) {
    TImageTable t;
    t.setName("Table1");
    t.setRange("a\t", "b\t"); // nothing to restrict
    EXPECT_FALSE(t.rangeActive());
    EXPECT_THAT(
        [&] { t.cancelRange(); },
        ThrowsMessage<EDatabaseError>("Table1: Cannot do this operation on closed dataset"));
}

} // namespace
} // namespace cibrano::testing

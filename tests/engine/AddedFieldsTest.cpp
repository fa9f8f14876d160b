// Fields a table file written before its table had them lacks: added to every record as the
// file loads, opened like the others, written by the next save.

#include "engine/file/NewTableFile.h"
#include "tests/engine/ZerovTableTestSupport.h"

#include <gmock/gmock.h>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;

class AddedFields : public ZerovTableFixture {
protected:
    // The golden food table: Gruppo (fixed 30), Nome (text), Quantita ... Proteine.
    void open(TZerovTable& t) {
        t.setTableName(copyGolden("food-plain.d", "food.d"));
        t.setAddedFields({{{"Kjoule", ftFloat, 0}, {}},
                          {{"Mancanti", ftString, 100}, "Kjoule Sale"},
                          {{"Marca", ftString, 20}, "Casa"},
                          // Has it already, in another case: left as it is.
                          {{"NOME", ftString, 50}, "nessuno"}});
        t.open();
    }
    static std::vector<AnsiString> column(TZerovTable& t, const char* field) {
        std::vector<AnsiString> values;
        for (t.moveFirst(); !t.atEnd(); t.moveNext())
            values.push_back(t.fieldByName(field)->stringValue());
        return values;
    }
};

TEST_F(AddedFields, EveryRecordGainsThemAndTheNextSaveWritesThem) {
    TZerovTable t;
    open(t);
    EXPECT_THAT(t.gainedFields(), ElementsAre("Kjoule", "Mancanti", "Marca"));
    ASSERT_EQ(t.store()->fieldCount(), 10);
    EXPECT_EQ(t.store()->fieldAt(8)->storageKind, kindText);
    EXPECT_EQ(t.store()->fieldAt(9)->storageKind, kindFixedText);
    EXPECT_FALSE(t.hasUnsavedChanges());
    const std::vector<AnsiString> names = column(t, "Nome");
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(column(t, "Mancanti"), std::vector<AnsiString>(5, "Kjoule Sale"));
    EXPECT_EQ(column(t, "Marca"), std::vector<AnsiString>(5, "Casa"));
    EXPECT_EQ(column(t, "Kjoule"), std::vector<AnsiString>(5, "0"));

    // A record edited and posted keeps its old values beside the new ones.
    t.moveFirst();
    const AnsiString firstGroup = t.fieldByName("Gruppo")->stringValue();
    setValue(t, "Kjoule", "1477");
    t.saveChanges();
    t.close();

    // Read again without being told of the fields: the file has them.
    TZerovTable again;
    again.setTableName(dir.file("food.d"));
    again.open();
    EXPECT_TRUE(again.gainedFields().empty());
    ASSERT_EQ(again.store()->fieldCount(), 10);
    EXPECT_EQ(column(again, "Nome"), names);
    EXPECT_EQ(column(again, "Kjoule")[0], "1477");
    EXPECT_EQ(column(again, "Mancanti")[4], "Kjoule Sale");
    again.moveFirst();
    EXPECT_EQ(again.fieldByName("Gruppo")->stringValue(), firstGroup);
}

TEST_F(AddedFields, AFieldTheSectionCannotDescribeChangesNothing) {
    TZerovTable t;
    t.setTableName(copyGolden("food-plain.d", "food.d"));
    t.setAddedFields({{{"Buona", ftFloat, 0}, {}}, {{"Cattiva\x12", ftFloat, 0}, {}}});
    EXPECT_THROW(t.open(), EDatabaseError);
    TZerovCursor store;
    AnsiString message;
    ASSERT_EQ(store.readTableFile(dir.file("food.d"), message), TZerovCursor::FileRead::loaded);
    EXPECT_THROW(store.addMissingFields({{{"Cattiva\x12", ftFloat, 0}, {}}}), EDatabaseError);
    EXPECT_EQ(store.fieldCount(), 7);
}

} // namespace
} // namespace cibrano::testing

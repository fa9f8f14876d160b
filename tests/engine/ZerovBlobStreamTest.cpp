// BLOB streams of a table: reading, writing and read-write on the record being edited, the
// checks of the writing modes, storing back with a field-change notification, an empty value
// from a write that writes nothing, and a store-back that finds no edit any more.

#include "tests/engine/ZerovTableTestSupport.h"
#include "tests/platform/ErrorMessage.h"

#include "dataset/DataSource.h"
#include "dataset/FieldDefs.h"
#include "engine/table/ZerovBlobStream.h"
#include "platform/DatabaseError.h"
#include "platform/Stream.h"
#include "platform/UiServices.h"

#include <gmock/gmock.h>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;

class ZerovBlobStreamTest : public ZerovTableFixture {
protected:
    ZerovBlobStreamTest() {
        t.setName("Table1");
        t.FieldDefs().add("Nome", ftString, 20);
        t.FieldDefs().add("Nota", ftMemo);
        t.FieldDefs().add("Dati", ftBlob);
        t.open();
        nota = t.fieldByName("Nota");
        dati = t.fieldByName("Dati");
        source.setDataSet(&t);
        source.OnDataChange = [this](TDataSource*, TField* f) {
            if (f)
                changes.push_back(f);
        };
    }

    std::string read(TField* field) {
        std::unique_ptr<TStream> s = t.createBlobStream(field, bmRead);
        std::string bytes(s->size(), '\0');
        s->readBuffer(bytes.data(), bytes.size());
        return bytes;
    }
    void addRecord(const AnsiString& note) {
        t.beginAppend();
        t.fieldByName("Nome")->setStringValue("uno");
        nota->setStringValue(note);
        t.postRecord();
        changes.clear();
    }
    AnsiString errorOf(TField* field, TBlobStreamMode mode) {
        return testkit::messageOf([&] { t.createBlobStream(field, mode); });
    }

    TZerovTable t;
    TDataSource source;
    TField* nota = nullptr;
    TField* dati = nullptr;
    std::vector<TField*> changes;
};

TEST_F(ZerovBlobStreamTest, OnATableWithoutRecordsAWriteStreamStartsEmptyWithoutChecks) {
    nota->setReadOnly(true);
    std::unique_ptr<TStream> s = t.createBlobStream(nota, bmWrite); // browse, read-only: no error
    EXPECT_EQ(s->size(), 0u);
    EXPECT_FALSE(static_cast<TZerovBlobStream&>(*s).modified());
    s.reset();
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(ZerovBlobStreamTest, WrittenBytesGoBackIntoTheRecordWithOneFieldChange) {
    const std::string bytes("\x00\x01\xFFzeta\x00", 7);
    t.beginInsert();
    changes.clear();
    {
        std::unique_ptr<TStream> s = t.createBlobStream(dati, bmWrite);
        s->writeBuffer(bytes.data(), 3);
        s->writeBuffer(bytes.data() + 3, 4);
        EXPECT_TRUE(changes.empty()); // nothing is stored before the stream goes
    }
    EXPECT_THAT(changes, ElementsAre(dati));
    EXPECT_TRUE(t.Modified());
    t.postRecord();
    EXPECT_EQ(read(dati), bytes);

    // The bytes are the record's: they travel with the table image.
    TMemoryStream image;
    t.store()->writeTableImage(image);
    TZerovTable copy;
    copy.setLoadingStream(&image);
    copy.setLoadMode(lmStream);
    image.setPosition(0);
    copy.open();
    EXPECT_EQ(copy.fieldByName("Dati")->stringValue(), bytes);
}

TEST_F(ZerovBlobStreamTest, ReadWriteKeepsTheValueUnlessWrittenAndAnEmptyWriteClearsIt) {
    addRecord("ciao");
    t.beginEdit();
    {
        std::unique_ptr<TStream> s = t.createBlobStream(nota, bmReadWrite);
        EXPECT_EQ(s->position(), 0u);
        char buffer[4];
        s->readBuffer(buffer, 4);
        EXPECT_EQ(std::string(buffer, 4), "ciao");
    }
    EXPECT_TRUE(changes.empty());
    EXPECT_FALSE(t.Modified());
    EXPECT_EQ(nota->stringValue(), "ciao");

    t.createBlobStream(nota, bmReadWrite)->writeBuffer("CI", 2);
    EXPECT_EQ(nota->stringValue(), "CIao");

    t.createBlobStream(nota, bmWrite); // written nothing
    EXPECT_TRUE(nota->isNull());
    EXPECT_THAT(changes, ElementsAre(nota, nota));
    t.postRecord();
    EXPECT_TRUE(nota->isNull());
    EXPECT_EQ(read(nota), "");
}

TEST_F(ZerovBlobStreamTest, WritingModesNeedAnEditAndAWritableBlobField) {
    addRecord("ciao");
    EXPECT_EQ(errorOf(nota, bmWrite), "Table1: Table is not in edit or insert mode");
    EXPECT_EQ(errorOf(nota, bmReadWrite), "Table1: Table is not in edit or insert mode");
    EXPECT_EQ(read(nota), "ciao");
    t.beginEdit();
    nota->setReadOnly(true);
    EXPECT_EQ(errorOf(nota, bmWrite), "Table1: Field 'Nota' is read only!");
    EXPECT_EQ(read(nota), "ciao");
    EXPECT_EQ(errorOf(t.fieldByName("Nome"), bmRead),
              "Table1: Field 'Nome' is not a BLOB field of a table");
}

TEST_F(ZerovBlobStreamTest, StoringBackAfterTheEditEndedIsShownAndChangesNothing) {
    addRecord("ciao");
    t.beginEdit();
    std::unique_ptr<TStream> s = t.createBlobStream(nota, bmWrite);
    s->writeBuffer("nuovo", 5);
    t.cancelRecord();
    s.reset();
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].caption, applicationTitle());
    EXPECT_EQ(ui.errors[0].text, "Table1: Table is not in edit or insert mode.");
    EXPECT_EQ(nota->stringValue(), "ciao");
    EXPECT_TRUE(changes.empty());
}

} // namespace
} // namespace cibrano::testing

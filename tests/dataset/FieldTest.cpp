#include "DataSetFixture.h"

#include "dataset/BooleanField.h"
#include "dataset/DateTimeFields.h"
#include "dataset/FieldFactory.h"
#include "dataset/IntegerFields.h"

using namespace cibrano;
using namespace cibrano::testkit;
using ::testing::ElementsAre;

namespace {

// The food table with fields declared the way the main window declares them.
class Fields : public DataSetFixture {
protected:
    Fields() {
        nomeField = new TStringField(&ds);
        nomeField->setFieldName("Nome");
        nomeField->setSize(50);
        nomeField->setDataSet(&ds);
        qty = new TFloatField(&ds);
        qty->setFieldName("Quantita");
        qty->setDisplayFormat("#,##0.0");
        qty->setEditFormat("#.#");
        qty->setDataSet(&ds);
    }
    // Lets the dataset make its fields from the definitions again.
    void useDefaultFields() {
        nomeField->setDataSet(nullptr);
        qty->setDataSet(nullptr);
    }
    void openForEdit() {
        openRecorded();
        ds.beginEdit();
    }
    TStringField* nomeField;
    TFloatField* qty;
};

TEST_F(Fields, FloatTextsFollowTheDisplayAndEditPatterns) {
    ds.addRow({"Pasta", 12.0});
    ds.addRow({"Riso", 1234.56});
    ds.addRow({"Pane", nullptr});
    ds.addRow({"Sale", 0.0});
    openRecorded();
    EXPECT_EQ(qty->displayText(), "12.0");
    EXPECT_EQ(qty->editText(), "12");
    EXPECT_EQ(qty->stringValue(), "12");
    ds.moveNext();
    EXPECT_EQ(qty->displayText(), "1,234.6");
    EXPECT_EQ(qty->editText(), "1234.6");
    EXPECT_EQ(qty->stringValue(), "1234.56");
    ds.moveNext();
    EXPECT_TRUE(qty->isNull());
    EXPECT_EQ(qty->displayText(), "");
    EXPECT_EQ(qty->editText(), "");
    EXPECT_EQ(qty->floatValue(), 0);
    ds.moveNext();
    EXPECT_FALSE(qty->isNull());
    EXPECT_EQ(qty->displayText(), "0.0");
    EXPECT_EQ(qty->editText(), "") << "zero has no digits under #.#";
}

TEST_F(Fields, FloatTextsWithoutPatternUsePrecisionOrCurrency) {
    ds.addRow({"Pasta", 2.0 / 3});
    openRecorded();
    qty->setDisplayFormat("");
    qty->setEditFormat("");
    EXPECT_EQ(qty->displayText(), "0.666666666666667");
    qty->setPrecision(4);
    EXPECT_EQ(qty->displayText(), "0.6667");
    qty->setPrecision(1);
    EXPECT_EQ(qty->Precision(), 2);
    qty->setCurrency(true);
    EXPECT_EQ(qty->displayText(), "$0.67");
    EXPECT_EQ(qty->editText(), "0.67");
}

TEST_F(Fields, EmptyTextStoresNull) {
    ds.addRow({"Pasta", 12.0});
    openForEdit();
    qty->setEditText("");
    EXPECT_TRUE(qty->isNull());
    EXPECT_EQ(qty->floatValue(), 0);
    qty->setEditText(" 2.5e1 ");
    EXPECT_EQ(qty->floatValue(), 25);
}

TEST_F(Fields, TextThatIsNotAFloatNamesTheTextAndTheField) {
    ds.addRow({"Pasta", 12.0});
    openForEdit();
    EXPECT_EQ(messageOf([&] { qty->setEditText("1,200"); }),
              "'1,200' is not a valid floating point value for field 'Quantita'");
    EXPECT_EQ(messageOf([&] { qty->setStringValue("12kg"); }),
              "'12kg' is not a valid floating point value for field 'Quantita'");
    qty->setDisplayLabel("Quantity");
    EXPECT_EQ(messageOf([&] { qty->setStringValue("1.2.3"); }),
              "'1.2.3' is not a valid floating point value for field 'Quantity'");
    EXPECT_EQ(qty->floatValue(), 12) << "a rejected text changes nothing";
    EXPECT_FALSE(ds.Modified());
}

TEST_F(Fields, TheRangeCheckAppliesWhenABoundIsSet) {
    ds.addRow({"Pasta", 12.0});
    openForEdit();
    qty->setFloatValue(-5); // no bounds: anything goes
    qty->setMinValue(0);
    qty->setMaxValue(1000.5);
    EXPECT_EQ(messageOf([&] { qty->setFloatValue(1500); }),
              "1500 is not a valid value for field 'Quantita'. The allowed range is 0 to 1000.5");
    EXPECT_THROW(qty->setStringValue("-1"), EDatabaseError);
    qty->setStringValue("1000.5");
    EXPECT_EQ(qty->floatValue(), 1000.5);
}

TEST_F(Fields, TheCharacterTestFollowsTheDecimalSeparator) {
    for (char c : std::string("0123456789+-Ee."))
        EXPECT_TRUE(qty->acceptsChar(c)) << c;
    for (char c : std::string(",a /"))
        EXPECT_FALSE(qty->acceptsChar(c)) << c;
    RegionalSettings r;
    r.decimalSeparator = ',';
    r.thousandSeparator = '.';
    setRegional(r);
    EXPECT_TRUE(qty->acceptsChar(','));
    EXPECT_FALSE(qty->acceptsChar('.'));
    EXPECT_TRUE(nomeField->acceptsChar(','));
}

TEST_F(Fields, ALongTextKeepsTheFieldsSize) {
    ds.addRow({"Pasta", 1.0});
    openForEdit();
    std::string sixty(60, 'x');
    sixty.replace(0, 10, "0123456789");
    nomeField->setStringValue(sixty);
    EXPECT_EQ(nomeField->stringValue(), sixty.substr(0, 50));
    ds.postRecord();
    EXPECT_EQ(ds.storedText(0, 0), sixty.substr(0, 50));
}

TEST_F(Fields, OnValidateSeesTheNewValueAndCanStopTheWrite) {
    ds.addRow({"Pasta", 12.0});
    openForEdit();
    double seen = 0;
    qty->OnValidate = [&](TField* f) {
        seen = f->floatValue();
        if (seen < 0)
            throw EDatabaseError("negative");
    };
    qty->setFloatValue(30);
    EXPECT_EQ(seen, 30);
    EXPECT_EQ(qty->floatValue(), 30);

    ds.setModified(false);
    log.clear();
    EXPECT_THROW(qty->setFloatValue(-1), EDatabaseError);
    EXPECT_EQ(seen, -1);
    EXPECT_EQ(qty->floatValue(), 30) << "the stored value stays";
    EXPECT_FALSE(ds.Modified());
    EXPECT_TRUE(log.entries.empty()) << "no change was announced";
}

TEST_F(Fields, OnChangeRunsAfterTheModifiedFlagIsSetAndBeforeControlsHear) {
    ds.addRow({"Pasta", 12.0});
    openForEdit();
    qty->OnChange = [&](TField*) { log.add(ds.Modified() ? "OnChange(modified)" : "OnChange"); };
    log.clear();
    qty->setFloatValue(1);
    EXPECT_THAT(log.entries,
                ElementsAre("OnChange(modified)", "link.record(Quantita)", "DataChange(Quantita)"));
}

TEST_F(Fields, TextEventsReplaceTheFieldsOwnTexts) {
    ds.addRow({"Pasta", 12.0});
    openForEdit();
    qty->OnGetText = [](TField* f, AnsiString& text, bool display) {
        text = (display ? "show " : "edit ") + f->stringValue();
    };
    qty->OnSetText = [](TField* f, const AnsiString& text) { f->setFloatValue(text.size()); };
    EXPECT_EQ(qty->displayText(), "show 12");
    EXPECT_EQ(qty->editText(), "edit 12");
    qty->setEditText("abc");
    EXPECT_EQ(qty->floatValue(), 3);
}

TEST_F(Fields, DisplayPropertiesTellTheControls) {
    ds.addRow({"Pasta", 12.0});
    openRecorded();
    qty->setDisplayWidth(12);
    qty->setDisplayFormat("0.00");
    qty->setDisplayFormat("0.00"); // unchanged: nothing
    qty->setPrecision(7);
    EXPECT_THAT(log.entries, ElementsAre("link.layout", "DataChange", "link.datasetChange",
                                         "DataChange", "link.datasetChange", "DataChange"));
    EXPECT_EQ(qty->DisplayWidth(), 12);
    EXPECT_EQ(nomeField->DisplayWidth(), 50);
    EXPECT_EQ(qty->Alignment(), taRightJustify);
    EXPECT_EQ(nomeField->Alignment(), taLeftJustify);
}

TEST_F(Fields, DeclaredFieldsBindByNameWhateverTheCase) {
    qty->setFieldName("QUANTITA");
    ds.addRow({"Pasta", 12.0});
    openRecorded();
    EXPECT_EQ(qty->FieldNo(), 2);
    EXPECT_EQ(qty->floatValue(), 12);
    EXPECT_EQ(ds.fieldByName("quantita"), qty);
    EXPECT_EQ(ds.fieldCount(), 2) << "declared fields: none are made from definitions";
    ds.close();
    EXPECT_EQ(ds.fieldCount(), 2) << "declared fields outlive a close";
    EXPECT_EQ(qty->FieldNo(), 0);
}

TEST_F(Fields, BindingChecksNamesAndTypes) {
    auto* prezzo = new TFloatField(&ds);
    prezzo->setFieldName("Prezzo");
    prezzo->setDataSet(&ds);
    EXPECT_EQ(messageOf([&] { ds.open(); }), "Table1: Field 'Prezzo' not found");
    EXPECT_FALSE(ds.Active());
    delete prezzo;

    nomeField->setDataSet(nullptr);
    auto* wrong = new TIntegerField(&ds);
    wrong->setFieldName("Nome");
    wrong->setDataSet(&ds);
    EXPECT_EQ(messageOf([&] { ds.open(); }),
              "Table1: Type mismatch for field 'Nome', expecting: Integer actual: String");
    EXPECT_FALSE(ds.Active());
}

TEST_F(Fields, NamesMustBeUniqueAndPresent) {
    auto* twin = new TStringField(&ds);
    twin->setFieldName("NOME");
    EXPECT_EQ(messageOf([&] { twin->setDataSet(&ds); }), "Table1: Duplicate field name 'NOME'");
    EXPECT_EQ(messageOf([&] { qty->setFieldName("nome"); }), "Table1: Duplicate field name 'nome'");
    EXPECT_EQ(messageOf([&] { ds.fieldByName("Prezzo"); }), "Table1: Field 'Prezzo' not found");
    EXPECT_EQ(messageOf([&] { ds.FieldDefs().add("", ftString, 5); }),
              "Table1: Field name missing");
    TFloatField loose;
    loose.setFieldName("Loose");
    EXPECT_EQ(messageOf([&] { loose.floatValue(); }), "Field 'Loose' has no dataset");
}

TEST_F(Fields, AnOpenDatasetRefusesFieldListChanges) {
    ds.addRow({"Pasta", 12.0});
    openRecorded();
    auto* extra = new TFloatField(&ds);
    extra->setFieldName("Extra");
    EXPECT_EQ(messageOf([&] { extra->setDataSet(&ds); }),
              "Table1: Cannot perform this operation on an open dataset");
    EXPECT_THROW(nomeField->setSize(10), EDatabaseError);
}

TEST_F(Fields, AccessAsAnUnconvertedTypeIsRefused) {
    ds.addColumn("Flag", ftBoolean);
    useDefaultFields();
    ds.addRow({"Pasta", 1.0, 1});
    openRecorded();
    TField* flag = ds.fieldByName("Flag");
    EXPECT_NE(dynamic_cast<TBooleanField*>(flag), nullptr);
    EXPECT_EQ(messageOf([&] { flag->floatValue(); }), "Cannot access field 'Flag' as type Float");
    EXPECT_EQ(messageOf([&] { flag->dateTimeValue(); }),
              "Cannot access field 'Flag' as type DateTime");
}

TEST_F(Fields, DefaultFieldsFollowTheDefinitions) {
    ds.addColumn("Pezzi", ftSmallint);
    ds.addColumn("Fresco", ftBoolean);
    ds.addColumn("Scadenza", ftDate);
    ds.addColumn("Note", ftMemo);
    useDefaultFields();
    openRecorded();
    ASSERT_EQ(ds.fieldCount(), 6);
    EXPECT_NE(dynamic_cast<TStringField*>(ds.Fields()[0]), nullptr);
    EXPECT_EQ(ds.Fields()[0]->Size(), 50);
    EXPECT_NE(dynamic_cast<TFloatField*>(ds.Fields()[1]), nullptr);
    EXPECT_NE(dynamic_cast<TSmallintField*>(ds.Fields()[2]), nullptr);
    EXPECT_NE(dynamic_cast<TBooleanField*>(ds.Fields()[3]), nullptr);
    EXPECT_NE(dynamic_cast<TDateField*>(ds.Fields()[4]), nullptr);
    EXPECT_EQ(ds.Fields()[5]->DataType(), ftMemo);
    EXPECT_EQ(newFieldOfType(ftBCD, nullptr), nullptr);
}

TEST_F(Fields, IntegerBooleanAndDateFieldsConvertTheirTexts) {
    ds.addColumn("Pezzi", ftSmallint);
    ds.addColumn("Fresco", ftBoolean);
    ds.addColumn("Scadenza", ftDate);
    useDefaultFields();
    ds.addRow({"Pasta", 1.0});
    openForEdit();
    TField* pezzi = ds.fieldByName("Pezzi");
    TField* fresco = ds.fieldByName("Fresco");
    TField* scadenza = ds.fieldByName("Scadenza");

    pezzi->setStringValue(" -12 ");
    EXPECT_EQ(pezzi->integerValue(), -12);
    EXPECT_EQ(messageOf([&] { pezzi->setIntegerValue(40000); }),
              "40000 is not a valid value for field 'Pezzi'. The allowed range is -32768 to "
              "32767");
    EXPECT_EQ(messageOf([&] { pezzi->setStringValue("1.5"); }),
              "'1.5' is not a valid integer value for field 'Pezzi'");
    pezzi->setFloatValue(2.5);
    EXPECT_EQ(pezzi->stringValue(), "3");

    fresco->setStringValue("t");
    EXPECT_TRUE(fresco->booleanValue());
    EXPECT_EQ(fresco->displayText(), "True");
    fresco->setStringValue("FAL");
    EXPECT_EQ(fresco->stringValue(), "False");
    EXPECT_EQ(messageOf([&] { fresco->setStringValue("maybe"); }),
              "'maybe' is not a valid boolean value for field 'Fresco'");

    scadenza->setStringValue("31/12/2026");
    EXPECT_EQ(scadenza->stringValue(), "31/12/2026");
    TDateTime expected;
    ASSERT_TRUE(tryEncodeDate(2026, 12, 31, expected));
    EXPECT_EQ(scadenza->dateTimeValue(), expected);
    EXPECT_EQ(messageOf([&] { scadenza->setStringValue("31/04/2026"); }),
              "'31/04/2026' is not a valid date");
    scadenza->setStringValue("");
    EXPECT_TRUE(scadenza->isNull());
}

TEST_F(Fields, CalculatedFieldsFollowEveryFetchAndEveryChange) {
    auto* energy = new TFloatField(&ds);
    energy->setFieldName("Doppio");
    energy->setFieldKind(fkCalculated);
    energy->setDataSet(&ds);
    int runs = 0;
    ds.OnCalcFields = [&](TDataSet*) {
        ++runs;
        EXPECT_EQ(ds.State(), stateCalcFields);
        if (!qty->isNull())
            energy->setFloatValue(qty->floatValue() * 2);
    };
    ds.addRow({"Pasta", 12.0});
    ds.addRow({"Riso", nullptr});
    openRecorded(2);
    EXPECT_EQ(energy->FieldNo(), -1);
    EXPECT_EQ(ds.calcFieldsSize(), 9);
    EXPECT_EQ(energy->floatValue(), 24);
    EXPECT_FALSE(energy->fieldCanModify());
    ds.moveNext();
    EXPECT_TRUE(energy->isNull()) << "the calculated area starts clear for every record";

    ds.beginEdit();
    runs = 0;
    qty->setFloatValue(5);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(energy->floatValue(), 10);
    EXPECT_TRUE(ds.Modified()) << "recalculating keeps the pending change";
    ds.setAutoCalcFields(false);
    qty->setFloatValue(6);
    EXPECT_EQ(energy->floatValue(), 10);
}

TEST_F(Fields, FieldsCanBeModifiedOnlyWhenBoundAndWritable) {
    EXPECT_FALSE(qty->fieldCanModify()) << "not bound";
    ds.addRow({"Pasta", 12.0});
    openRecorded();
    EXPECT_TRUE(qty->fieldCanModify());
    qty->setReadOnly(true);
    EXPECT_FALSE(qty->fieldCanModify());
}

} // namespace

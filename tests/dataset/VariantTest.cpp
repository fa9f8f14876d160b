#include "DataSetFixture.h"

#include "dataset/DateTimeFields.h"
#include "dataset/IntegerFields.h"
#include "dataset/Variant.h"

using namespace cibrano;
using namespace cibrano::testkit;

namespace {

class Variants : public ::testing::Test {
protected:
    Variants() {
        RegionalSettings r;
        r.decimalSeparator = ',';
        r.thousandSeparator = '.';
        r.dateSeparator = '/';
        r.shortDateFormat = "dd/mm/yyyy";
        setRegional(r);
    }
};

TEST_F(Variants, NumbersConvertThroughRegionalTextAndRoundHalfAwayFromZero) {
    EXPECT_EQ(TVariant(" -42 ").asInteger(), -42);
    EXPECT_EQ(TVariant("9223372036854775807").asInteger(), INT64_MAX);
    EXPECT_EQ(TVariant("-9223372036854775808").asInteger(), INT64_MIN);
    EXPECT_EQ(TVariant(2.5).asInteger(), 3);
    EXPECT_EQ(TVariant(-2.5).asInteger(), -3);
    EXPECT_EQ(TVariant("3,5").asFloat(), 3.5);
    EXPECT_EQ(TVariant(1234.5).asString(), "1234,5");
    EXPECT_EQ(TVariant(int64_t(7)).asString(), "7");
    EXPECT_EQ(TVariant("12").convertedTo(vkInteger), TVariant(12));
    EXPECT_EQ(TVariant(12).convertedTo(vkString), TVariant("12"));

    for (const char* text : {"1,5", "", "9223372036854775808", "12x", "+"})
        EXPECT_EQ(messageOf([&] { TVariant(text).asInteger(); }),
                  "Could not convert variant of type (String) into type (Integer)")
            << text;
    EXPECT_EQ(messageOf([] { TVariant(1e300).asInteger(); }),
              "Could not convert variant of type (Double) into type (Integer)");
    EXPECT_EQ(messageOf([] { TVariant("1.5").asFloat(); }),
              "Could not convert variant of type (String) into type (Double)")
        << "the grouping separator is not a decimal point";
}

TEST_F(Variants, BooleansAndDatesHaveTheirTexts) {
    EXPECT_TRUE(TVariant("true").asBoolean());
    EXPECT_FALSE(TVariant("FALSE").asBoolean());
    EXPECT_FALSE(TVariant("0").asBoolean());
    EXPECT_EQ(TVariant(true).asString(), "True");
    EXPECT_EQ(messageOf([] { TVariant("forse").asBoolean(); }),
              "Could not convert variant of type (String) into type (Boolean)");

    TDateTime day;
    ASSERT_TRUE(tryEncodeDate(2026, 3, 1, day));
    EXPECT_EQ(TVariant::dateTime(day).asString(), "01/03/2026") << "a whole day shows no time";
    EXPECT_EQ(TVariant("1/3/2026").asDateTime(), day);
    EXPECT_EQ(TVariant("1/3/2026").convertedTo(vkDateTime), TVariant::dateTime(day));
    EXPECT_NE(TVariant::dateTime(day), TVariant(day)) << "a date is not a float of the same value";
}

TEST_F(Variants, NullRefusesEveryConversionWhileUnassignedGivesEmptyValues) {
    const TVariant null = TVariant::null();
    EXPECT_FALSE(null.hasValue());
    EXPECT_FALSE(TVariant().hasValue());
    EXPECT_EQ(messageOf([&] { null.asInteger(); }),
              "Could not convert variant of type (Null) into type (Integer)");
    EXPECT_EQ(messageOf([&] { null.asString(); }),
              "Could not convert variant of type (Null) into type (String)");
    EXPECT_EQ(null.convertedTo(vkString), null);
    EXPECT_EQ(TVariant().asInteger(), 0);
    EXPECT_EQ(TVariant().asString(), "");
    EXPECT_NE(null, TVariant());

    const TVariant keys = TVariant::array({"Pasta", 12, TVariant::null()});
    EXPECT_EQ(keys.elementCount(), 3);
    EXPECT_TRUE(keys.element(2).isNull());
    EXPECT_TRUE(keys.element(3).isUnassigned()) << "outside the array";
    EXPECT_EQ(keys, TVariant::array({"Pasta", 12, TVariant::null()}));
    EXPECT_NE(keys, TVariant::array({"Pasta", 12.0, TVariant::null()}));
    EXPECT_EQ(messageOf([&] { keys.asString(); }),
              "Could not convert variant of type (Array) into type (String)");
}

class FieldValues : public DataSetFixture {
protected:
    FieldValues() {
        ds.addColumn("Porzioni", ftInteger);
        ds.addColumn("Scadenza", ftDate);
        ds.addRow({"Pasta", 12.5, 4, nullptr});
        ds.addRow({"Riso", nullptr, nullptr, nullptr});
    }
};

TEST_F(FieldValues, ValuesComeInTheKindOfTheFieldAndNullWhenEmpty) {
    openRecorded();
    EXPECT_EQ(nome()->value(), TVariant("Pasta"));
    EXPECT_EQ(quantita()->value(), TVariant(12.5));
    EXPECT_EQ(ds.fieldByName("Porzioni")->value(), TVariant(4));
    EXPECT_TRUE(ds.fieldByName("Scadenza")->value().isNull());
    ds.moveNext();
    EXPECT_TRUE(quantita()->value().isNull());
    EXPECT_TRUE(ds.fieldByName("Porzioni")->value().isNull());
}

TEST_F(FieldValues, SettingAValueConvertsItToTheFieldsKind) {
    openRecorded();
    ds.beginEdit();
    quantita()->setValue("7.25");
    EXPECT_EQ(quantita()->floatValue(), 7.25);
    EXPECT_EQ(messageOf([&] { quantita()->setValue("molto"); }),
              "Could not convert variant of type (String) into type (Double)");
    EXPECT_EQ(quantita()->value(), TVariant(7.25)) << "a refused value leaves the field";
    quantita()->setValue(TVariant::null());
    EXPECT_TRUE(quantita()->isNull());
    ds.fieldByName("Porzioni")->setValue(2.6);
    EXPECT_EQ(ds.fieldByName("Porzioni")->integerValue(), 3);
    nome()->setValue(15);
    EXPECT_EQ(nome()->stringValue(), "15");
    TDateTime day;
    ASSERT_TRUE(tryEncodeDate(2026, 12, 31, day));
    ds.fieldByName("Scadenza")->setValue(TVariant::dateTime(day));
    EXPECT_EQ(ds.fieldByName("Scadenza")->value(), TVariant::dateTime(day));

    EXPECT_EQ(messageOf([&] { ds.fieldByName("Porzioni")->setValue(int64_t(5000000000)); }),
              "'5000000000' is not a valid integer value for field 'Porzioni'")
        << "a value beyond the integer range is refused, not wrapped";
}

// A lookup field of the recipe table shows the group of its food, found in a second table.
TEST_F(FieldValues, LookupFieldsAskTheLookupDatasetThroughLookup) {
    TMemoryDataSet foods;
    foods.setName("Foods");
    foods.addColumn("Nome", ftString, 50);
    foods.addColumn("Gruppo", ftString, 30);
    foods.addRow({"Riso", "Cereali"});
    foods.addRow({"Pasta", "Cereali e derivati"});
    foods.open();

    auto* nomeField = new TStringField(&ds);
    nomeField->setFieldName("Nome");
    nomeField->setSize(50);
    nomeField->setDataSet(&ds);
    auto* gruppo = new TStringField(&ds);
    gruppo->setFieldName("Gruppo");
    gruppo->setSize(30);
    gruppo->setFieldKind(fkLookup);
    gruppo->setLookupDataSet(&foods);
    gruppo->setKeyFields("Nome");
    gruppo->setLookupKeyFields("Nome");
    gruppo->setLookupResultField("Gruppo");
    gruppo->setDataSet(&ds);
    ds.addRow({"Sale", nullptr});
    openRecorded();

    EXPECT_EQ(gruppo->stringValue(), "Cereali e derivati");
    EXPECT_EQ(foods.fieldByName("Nome")->stringValue(), "Riso") << "the lookup does not move";
    ds.moveNext();
    EXPECT_EQ(gruppo->stringValue(), "Cereali");
    ds.moveNext();
    EXPECT_TRUE(gruppo->isNull()) << "no such food";
    EXPECT_EQ(foods.lookup("Nome", "Pasta", "Nome;Gruppo"),
              TVariant::array({"Pasta", "Cereali e derivati"}));
}

} // namespace

// RecipeCalculator: the values a food row does not know, and the food table's fields beyond
// the window's. A food table made from a published table lists the unknown values in its
// Mancanti field; the window shows four values of each food, and keeps that list true for
// what it lets a person type. Its other fields (Kjoule ... Sale, Fonte) are bound hidden, so
// that the food card (recipe/FoodCard.h) reads and edits them through the dataset.

#include "recipe/MissingValues.h"
#include "recipe/RecipeCalculator.h"

#include "dataset/FieldDefs.h"

namespace cibrano {

void RecipeCalculator::bindMissingValues() {
    if (Table1Mancanti || !Table1->FieldDefs().find(MissingValues::kFieldName))
        return;
    Table1Mancanti = new TStringField(this);
    Table1Mancanti->setName("Table1Mancanti");
    Table1Mancanti->setFieldName(MissingValues::kFieldName);
    Table1Mancanti->setSize(Table1->FieldDefs().find(MissingValues::kFieldName)->Size());
    Table1Mancanti->setVisible(false);
    Table1Mancanti->setDataSet(Table1);
}

void RecipeCalculator::bindOtherFields() {
    const TFieldDefs& defs = Table1->FieldDefs();
    for (int i = 0; i < defs.count(); ++i) {
        const TFieldDef& def = defs[i];
        if (Table1->findField(def.Name()))
            continue;
        TField* field = nullptr;
        if (def.DataType() == ftFloat)
            field = new TFloatField(this);
        else if (def.DataType() == ftString)
            field = new TStringField(this);
        else
            continue;
        field->setName("Table1" + def.Name());
        field->setFieldName(def.Name());
        if (def.DataType() == ftString)
            field->setSize(def.Size());
        field->setVisible(false);
        field->setDataSet(Table1);
    }
}

std::vector<AnsiString> RecipeCalculator::foodFieldNames() const {
    std::vector<AnsiString> names;
    const TFieldDefs& defs = Table1->FieldDefs();
    for (int i = 0; i < defs.count(); ++i)
        names.push_back(defs[i].Name());
    return names;
}

void RecipeCalculator::markNewRowMissing() {
    if (!Table1Mancanti || !Table1Mancanti->FieldNo())
        return;
    MissingValues missing;
    const std::vector<AnsiString> order = foodFieldNames();
    const TFieldDefs& defs = Table1->FieldDefs();
    for (int i = 0; i < defs.count(); ++i)
        if (const TField* field = Table1->findField(defs[i].Name());
            defs[i].DataType() == ftFloat && (!field || !field->Visible()))
            missing.set(defs[i].Name(), true, order);
    Table1Mancanti->setStringValue(missing.text());
}

void RecipeCalculator::noteValueChange(TField* field) {
    if (!Table1Mancanti || !Table1Mancanti->FieldNo())
        return;
    // The file keeps an empty number as 0, and the window counts it so: a value typed, or
    // cleared, is known.
    MissingValues missing(Table1Mancanti->stringValue());
    if (!missing.lists(field->FieldName()))
        return;
    missing.set(field->FieldName(), false, foodFieldNames());
    Table1Mancanti->setStringValue(missing.text());
}

} // namespace cibrano

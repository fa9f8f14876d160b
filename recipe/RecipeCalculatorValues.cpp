// RecipeCalculator: the values a food row does not know. A food table made from a published
// table lists them in its Mancanti field; the window shows four values of each food, and
// keeps that list true for what it lets a person type.

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
        if (defs[i].DataType() == ftFloat && !Table1->findField(defs[i].Name()))
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

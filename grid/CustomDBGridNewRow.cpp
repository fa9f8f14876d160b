// The data grid's new rows. A row the grid starts (Down on the last row, Insert, a change
// begun in an empty list) and that nothing has filled is cancelled instead of posted, whatever
// would post it: leaving the row or the grid, or the dataset settling its pending edit before
// a move, a filter, a sort or a save (each of them asks the controls to check the record
// first). A cancelled insert counts as no change, so such a row alone leaves the table as it
// was. Rows the program inserts by itself are left to it.
//
// A row is still empty while none of its cells holds a text the user wrote and every field
// holds the value the row began with (a new record may read its numbers as 0, and Backspace in
// an empty cell writes an empty text, which leaves that value as it was).

#include "grid/CustomDBGrid.h"

#include "dataset/DataSet.h"
#include "dataset/Field.h"

namespace cibrano {

namespace {

// A field's value as compared with the one the row began with; none for an empty field.
std::optional<AnsiString> valueOf(const TField* field) {
    if (field->isNull())
        return std::nullopt;
    return field->stringValue();
}

} // namespace

void TCustomDBGrid::startNewRow(bool append) {
    TDataSet* ds = dataSet();
    if (append)
        ds->beginAppend();
    else
        ds->beginInsert();
    if (ds->State() == stateInsert)
        noteOwnInsert();
}

bool TCustomDBGrid::editRecord() {
    TDataSet* ds = dataSet();
    const bool inserting = ds && ds->State() == stateInsert;
    dataLink_.edit();
    // An empty list has no record to edit: the dataset inserts one instead.
    if (!inserting && ds && ds->State() == stateInsert)
        noteOwnInsert();
    return dataLink_.Editing();
}

void TCustomDBGrid::noteOwnInsert() {
    ownInsert_ = true;
    ownRowTyped_.clear();
    ownRowStart_.clear();
    for (const TField* field : dataSet()->Fields())
        ownRowStart_.push_back(valueOf(field));
}

void TCustomDBGrid::followInsertState() {
    TDataSet* ds = dataSet();
    if (!ds || ds->State() != stateInsert)
        ownInsert_ = false;
}

bool TCustomDBGrid::ownInsertEmpty() const {
    TDataSet* ds = dataSet();
    if (!ownInsert_ || !ds || ds->State() != stateInsert || !dataLink_.Active())
        return false;
    for (bool typed : ownRowTyped_)
        if (typed)
            return false;
    if (dataLink_.isModified() && !editText_.empty())
        return false;
    const TFields& fields = ds->Fields();
    if (static_cast<size_t>(fields.count()) != ownRowStart_.size())
        return false;
    for (int i = 0; i < fields.count(); ++i)
        if (fields[i]->FieldKind() == fkData &&
            valueOf(fields[i]) != ownRowStart_[static_cast<size_t>(i)])
            return false;
    return true;
}

bool TCustomDBGrid::cancelEmptyInsert() {
    if (!ownInsertEmpty())
        return false;
    // The cancel asks the controls to check the record again: nothing is left to do then.
    ownInsert_ = false;
    dataSet()->cancelRecord();
    return true;
}

bool TCustomDBGrid::untouchedInsert() const {
    TDataSet* ds = dataSet();
    return ds && ds->State() == stateInsert &&
           ((!ds->Modified() && !dataLink_.isModified()) || ownInsertEmpty());
}

} // namespace cibrano

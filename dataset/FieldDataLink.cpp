#include "dataset/FieldDataLink.h"

#include "dataset/DataSet.h"
#include "dataset/DataSource.h"
#include "dataset/DbConsts.h"
#include "dataset/Field.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"

namespace cibrano {

TFieldDataLink::TFieldDataLink() {
    setVisualControl(true);
}

void TFieldDataLink::setFieldName(const AnsiString& name) {
    if (fieldName_ == name)
        return;
    fieldName_ = name;
    updateField();
}

void TFieldDataLink::updateField() {
    if (!Active() || fieldName_.empty()) {
        setField(nullptr);
        return;
    }
    TDataSet* ds = dataSet();
    TField* f = ds->findField(fieldName_);
    if (!f && control_) {
        setField(nullptr);
        databaseError(formatText(dbconsts::kFieldNotFound, fieldName_), control_);
    }
    setField(f);
}

void TFieldDataLink::setField(TField* field) {
    if (field_ == field)
        return;
    field_ = field;
    notifyEditingChange();
    notifyRecordChange(nullptr);
}

bool TFieldDataLink::canModify() const {
    return !ReadOnly() && field_ && field_->fieldCanModify();
}

void TFieldDataLink::setFieldEditing(bool value) {
    if (fieldEditing_ == value)
        return;
    fieldEditing_ = value;
    modified_ = false;
    if (OnEditingChange)
        OnEditingChange();
}

void TFieldDataLink::reset() {
    notifyRecordChange(nullptr);
}

bool TFieldDataLink::edit() {
    if (canModify())
        TDataLink::edit();
    return fieldEditing_;
}

void TFieldDataLink::notifyActiveChange() {
    updateField();
    if (OnActiveChange)
        OnActiveChange();
}

void TFieldDataLink::notifyEditingChange() {
    setFieldEditing(TDataLink::Editing() && canModify());
}

void TFieldDataLink::notifyFocusControl(TField** fieldRef) {
    if (fieldRef && *fieldRef && *fieldRef == field_ && OnFocusControl && OnFocusControl())
        *fieldRef = nullptr;
}

void TFieldDataLink::notifyLayoutChange() {
    updateField();
}

void TFieldDataLink::notifyRecordChange(TField* field) {
    if (field && field != field_)
        return;
    if (OnDataChange)
        OnDataChange();
    modified_ = false;
}

void TFieldDataLink::requestUpdateData() {
    if (!modified_)
        return;
    if (field_ && OnUpdateData)
        OnUpdateData();
    modified_ = false;
}

} // namespace cibrano

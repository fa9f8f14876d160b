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
    TField* f = ds ? ds->findField(fieldName_) : nullptr;
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
    const TLifeMark::Watch self = watchLife();
    notifyEditingChange();
    if (self.alive())
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
    const TLifeMark::Watch self = watchLife();
    if (canModify())
        TDataLink::edit();
    return self.alive() && fieldEditing_;
}

// The control's callbacks may free this link: nothing of it is touched after one returns
// unless it is still there.
void TFieldDataLink::notifyActiveChange() {
    const TLifeMark::Watch self = watchLife();
    updateField();
    if (self.alive() && OnActiveChange)
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
    const TLifeMark::Watch self = watchLife();
    if (OnDataChange)
        OnDataChange();
    if (self.alive())
        modified_ = false;
}

void TFieldDataLink::requestUpdateData() {
    if (!modified_)
        return;
    const TLifeMark::Watch self = watchLife();
    if (field_ && OnUpdateData)
        OnUpdateData();
    if (self.alive())
        modified_ = false;
}

} // namespace cibrano

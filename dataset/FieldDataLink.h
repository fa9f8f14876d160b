#pragma once
// TFieldDataLink: a data link bound to one field of the dataset, for a control that shows and
// edits that field. The control installs the callbacks.

#include "dataset/DataLink.h"
#include "platform/AnsiString.h"

#include <functional>

namespace cibrano {

class TComponent;
class TField;

class TFieldDataLink : public TDataLink {
public:
    TFieldDataLink();

    const AnsiString& FieldName() const { return fieldName_; }
    void setFieldName(const AnsiString& name);
    // The resolved field, or none (no name, or an inactive link).
    TField* field() const { return field_; }
    // The control that owns the link: the field is then looked up through it, and an
    // unknown name raises "Field '%s' not found" naming the control.
    TComponent* control() const { return control_; }
    void setControl(TComponent* control) { control_ = control; }

    bool Editing() const override { return fieldEditing_; }
    // Not read-only, with a field that can be modified.
    bool canModify() const;
    bool Modified() const { return modified_; }
    // The control's text differs from the field's value.
    void markModified() { modified_ = true; }
    // Tells the control to show the field's value again.
    void reset();
    bool edit() override;

    std::function<void()> OnDataChange;
    std::function<void()> OnEditingChange;
    std::function<void()> OnUpdateData;
    std::function<void()> OnActiveChange;
    // Asked to focus the control; answers whether the control took the focus.
    std::function<bool()> OnFocusControl;

protected:
    void notifyActiveChange() override;
    void notifyEditingChange() override;
    void notifyFocusControl(TField** fieldRef) override;
    void notifyLayoutChange() override;
    void notifyRecordChange(TField* field) override;
    void requestUpdateData() override;

private:
    void updateField();
    void setField(TField* field);
    void setFieldEditing(bool value);

    AnsiString fieldName_;
    TField* field_ = nullptr;
    TComponent* control_ = nullptr;
    bool fieldEditing_ = false;
    bool modified_ = false;
};

} // namespace cibrano

#pragma once
// TNumericField: the base of the number fields. It adds the display and edit patterns of the
// number pattern language and right alignment.

#include "dataset/Field.h"

namespace cibrano {

class TNumericField : public TField {
public:
    explicit TNumericField(TComponent* owner = nullptr);

    const AnsiString& DisplayFormat() const { return displayFormat_; }
    void setDisplayFormat(const AnsiString& pattern);
    const AnsiString& EditFormat() const { return editFormat_; }
    void setEditFormat(const AnsiString& pattern);

protected:
    // The pattern for display or edit mode: EditFormat, else DisplayFormat, in edit mode.
    const AnsiString& patternFor(bool displayText) const;

private:
    AnsiString displayFormat_;
    AnsiString editFormat_;
};

} // namespace cibrano

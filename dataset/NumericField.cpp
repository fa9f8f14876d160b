#include "dataset/NumericField.h"

namespace cibrano {

TNumericField::TNumericField(TComponent* owner) : TField(owner) {
    setAlignment(taRightJustify);
}

void TNumericField::setDisplayFormat(const AnsiString& pattern) {
    if (pattern == displayFormat_)
        return;
    displayFormat_ = pattern;
    propertyChanged(false);
}

void TNumericField::setEditFormat(const AnsiString& pattern) {
    if (pattern == editFormat_)
        return;
    editFormat_ = pattern;
    propertyChanged(false);
}

const AnsiString& TNumericField::patternFor(bool displayText) const {
    if (displayText || editFormat_.empty())
        return displayFormat_;
    return editFormat_;
}

} // namespace cibrano

#include "dataset/NumericField.h"

namespace cibrano {

TNumericField::TNumericField(TComponent* owner) : TField(owner) {
    setAlignment(taRightJustify);
}

void TNumericField::setDisplayFormat(const AnsiString& pattern) {
    changeProperty(displayFormat_, pattern, false);
}

void TNumericField::setEditFormat(const AnsiString& pattern) {
    changeProperty(editFormat_, pattern, false);
}

const AnsiString& TNumericField::patternFor(bool displayText) const {
    if (displayText || editFormat_.empty())
        return displayFormat_;
    return editFormat_;
}

} // namespace cibrano

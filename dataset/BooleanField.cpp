#include "dataset/BooleanField.h"

#include "dataset/DbConsts.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"

#include <algorithm>
#include <cstdint>

namespace cibrano {

TBooleanField::TBooleanField(TComponent* owner)
    : TField(owner), trueText_(dbconsts::kTextTrue), falseText_(dbconsts::kTextFalse) {
    setDataType(ftBoolean);
}

void TBooleanField::setDisplayValues(const AnsiString& values) {
    displayValues_ = values;
    if (values.empty()) {
        trueText_ = dbconsts::kTextTrue;
        falseText_ = dbconsts::kTextFalse;
    } else {
        size_t semi = values.find(';');
        trueText_ = values.substr(0, semi);
        falseText_ = semi == AnsiString::npos ? AnsiString() : values.substr(semi + 1);
    }
    propertyChanged(false);
}

bool TBooleanField::booleanValue() const {
    int16_t v = 0;
    return readRaw(&v) && v != 0;
}

void TBooleanField::setBooleanValue(bool value) {
    int16_t v = value ? 1 : 0;
    writeRaw(&v);
}

AnsiString TBooleanField::stringValue() const {
    int16_t v = 0;
    if (!readRaw(&v))
        return AnsiString();
    return v != 0 ? trueText_ : falseText_;
}

void TBooleanField::setStringValue(const AnsiString& text) {
    if (text.empty()) {
        if (falseText_.empty())
            setBooleanValue(false);
        else if (trueText_.empty())
            setBooleanValue(true);
        else
            clearValue();
        return;
    }
    auto begins = [&](const AnsiString& whole) {
        return text.size() <= whole.size() &&
               ansiCompareText(whole.substr(0, text.size()), text) == 0;
    };
    if (begins(falseText_))
        setBooleanValue(false);
    else if (begins(trueText_))
        setBooleanValue(true);
    else
        databaseError(formatText(dbconsts::kInvalidBoolValue, text, displayName()));
}

int TBooleanField::defaultWidth() const {
    return static_cast<int>(std::max(trueText_.size(), falseText_.size()));
}

} // namespace cibrano

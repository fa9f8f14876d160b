#pragma once
// TBooleanField: a 2-byte value, 0 for false. Its texts are those of DisplayValues
// ("True;False" unless set otherwise).

#include "dataset/Field.h"

namespace cibrano {

class TBooleanField : public TField {
public:
    explicit TBooleanField(TComponent* owner = nullptr);

    int dataSize() const override { return 2; }
    // "text for true;text for false"; empty gives "True" and "False".
    const AnsiString& DisplayValues() const { return displayValues_; }
    void setDisplayValues(const AnsiString& values);

    // false for null.
    bool booleanValue() const override;
    void setBooleanValue(bool value) override;
    AnsiString stringValue() const override;
    // Empty text stores null (or the value whose text is empty); otherwise the text must
    // begin one of the two texts, ignoring case.
    void setStringValue(const AnsiString& text) override;

protected:
    int defaultWidth() const override;

private:
    AnsiString displayValues_;
    AnsiString trueText_;
    AnsiString falseText_;
};

} // namespace cibrano

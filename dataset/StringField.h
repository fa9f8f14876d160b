#pragma once
// TStringField: a text of at most Size characters; the raw value is Size + 1 bytes, a
// zero-terminated 8-bit string.

#include "dataset/Field.h"

namespace cibrano {

class TStringField : public TField {
public:
    explicit TStringField(TComponent* owner = nullptr);

    int dataSize() const override { return Size() + 1; }
    bool FixedChar() const { return fixedChar_; }
    void setFixedChar(bool value);
    const AnsiString& EditMask() const { return editMask_; }
    void setEditMask(const AnsiString& mask);
    bool Transliterate() const { return transliterate_; }
    void setTransliterate(bool value) { transliterate_ = value; }

    AnsiString stringValue() const override;
    // Keeps the first Size characters of a longer text.
    void setStringValue(const AnsiString& text) override;
    double floatValue() const override;
    void setFloatValue(double value) override;
    int integerValue() const override;
    void setIntegerValue(int value) override;
    bool booleanValue() const override;
    void setBooleanValue(bool value) override;

protected:
    AnsiString textOf(bool displayText) const override;
    int defaultWidth() const override { return Size(); }

private:
    bool fixedChar_ = false;
    bool transliterate_ = true;
    AnsiString editMask_;
};

} // namespace cibrano

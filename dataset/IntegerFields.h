#pragma once
// The integer fields: TIntegerField (int32), TSmallintField (int16), TWordField (uint16) and
// TAutoIncField (int32 numbered by the engine). A value outside the type's range, or outside
// MinValue..MaxValue when either is set, is refused.

#include "dataset/NumericField.h"

#include <cstdint>

namespace cibrano {

class TIntegerField : public TNumericField {
public:
    explicit TIntegerField(TComponent* owner = nullptr);

    int dataSize() const override;
    int MinValue() const { return minValue_; }
    void setMinValue(int value) { minValue_ = value; }
    int MaxValue() const { return maxValue_; }
    void setMaxValue(int value) { maxValue_ = value; }

    // 0 for null.
    int integerValue() const override;
    void setIntegerValue(int value) override;
    double floatValue() const override;
    // Rounded half away from zero.
    void setFloatValue(double value) override;
    AnsiString stringValue() const override;
    // Empty text stores null; otherwise optional blanks, an optional sign and digits.
    void setStringValue(const AnsiString& text) override;
    bool acceptsChar(char c) const override;

protected:
    TIntegerField(TComponent* owner, TFieldType type, int64_t low, int64_t high);
    AnsiString textOf(bool displayText) const override;

private:
    bool readValue(int64_t& value) const;
    void writeValue(int64_t value);

    int64_t typeLow_;
    int64_t typeHigh_;
    int minValue_ = 0;
    int maxValue_ = 0;
};

class TSmallintField : public TIntegerField {
public:
    explicit TSmallintField(TComponent* owner = nullptr);
};

class TWordField : public TIntegerField {
public:
    explicit TWordField(TComponent* owner = nullptr);
};

class TAutoIncField : public TIntegerField {
public:
    explicit TAutoIncField(TComponent* owner = nullptr);
};

} // namespace cibrano

#pragma once
// TFloatField and TCurrencyField: 8-byte doubles, shown through DisplayFormat / EditFormat or,
// without a pattern, in general format with Precision significant digits (currency and fixed
// format with the regional currency decimals when `currency` is set).

#include "dataset/NumericField.h"

namespace cibrano {

class TFloatField : public TNumericField {
public:
    explicit TFloatField(TComponent* owner = nullptr);

    int dataSize() const override { return static_cast<int>(sizeof(double)); }
    int Precision() const { return precision_; }
    // Held within 2..15.
    void setPrecision(int precision);
    bool currency() const { return currency_; }
    void setCurrency(bool value);
    // The range check is on exactly when either bound is not zero.
    double MinValue() const { return minValue_; }
    void setMinValue(double value) { minValue_ = value; }
    double MaxValue() const { return maxValue_; }
    void setMaxValue(double value) { maxValue_ = value; }

    // 0 for null.
    double floatValue() const override;
    void setFloatValue(double value) override;
    // General format with 15 significant digits; empty for null.
    AnsiString stringValue() const override;
    // Empty text stores null; otherwise the float input grammar (no grouping separators).
    void setStringValue(const AnsiString& text) override;
    int integerValue() const override;
    void setIntegerValue(int value) override;
    // The digits, "+", "-", "E", "e" and the regional decimal separator.
    bool acceptsChar(char c) const override;

protected:
    AnsiString textOf(bool displayText) const override;

private:
    int precision_ = 15;
    bool currency_ = false;
    double minValue_ = 0;
    double maxValue_ = 0;
};

class TCurrencyField : public TFloatField {
public:
    explicit TCurrencyField(TComponent* owner = nullptr);
};

} // namespace cibrano

#include "dataset/FloatField.h"

#include "dataset/DbConsts.h"
#include "dataset/NumberFormat.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"

#include <algorithm>
#include <cmath>

namespace cibrano {

namespace {

// The range message with its numbers written as the user reads numbers (general format,
// regional decimal separator), not in the C library's "%g".
AnsiString rangeMessage(double value, const AnsiString& name, double low, double high) {
    AnsiString pattern = dbconsts::kFloatRangeError;
    for (size_t p = pattern.find("%g"); p != AnsiString::npos; p = pattern.find("%g", p))
        pattern[p + 1] = 's';
    return formatText(pattern.c_str(), formatGeneral(value), name, formatGeneral(low),
                      formatGeneral(high));
}

} // namespace

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner) {
    setDataType(ftFloat);
}

void TFloatField::setPrecision(int precision) {
    changeProperty(precision_, std::clamp(precision, 2, 15), false);
}

void TFloatField::setCurrency(bool value) {
    changeProperty(currency_, value, false);
}

double TFloatField::floatValue() const {
    double v = 0;
    if (!readRaw(&v))
        return 0;
    return v;
}

void TFloatField::setFloatValue(double value) {
    if ((minValue_ != 0 || maxValue_ != 0) &&
        (value < minValue_ || value > maxValue_ || std::isnan(value)))
        databaseError(rangeMessage(value, displayName(), minValue_, maxValue_));
    writeRaw(&value);
}

AnsiString TFloatField::stringValue() const {
    double v = 0;
    if (!readRaw(&v))
        return AnsiString();
    return formatGeneral(v, 15);
}

void TFloatField::setStringValue(const AnsiString& text) {
    if (text.empty()) {
        clearValue();
        return;
    }
    double v;
    if (!tryParseFloat(text, v))
        databaseError(formatText(dbconsts::kInvalidFloatValue, text, displayName()));
    setFloatValue(v);
}

int TFloatField::integerValue() const {
    double v = std::round(floatValue());
    if (!(v >= INT32_MIN && v <= INT32_MAX))
        databaseError(
            formatText(dbconsts::kInvalidIntegerValue, formatGeneral(v, 15), displayName()));
    return static_cast<int>(v);
}

void TFloatField::setIntegerValue(int value) {
    setFloatValue(value);
}

bool TFloatField::acceptsChar(char c) const {
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'E' || c == 'e' ||
           c == regional().decimalSeparator;
}

AnsiString TFloatField::textOf(bool displayText) const {
    double v = 0;
    if (!readRaw(&v))
        return AnsiString();
    const AnsiString& pattern = patternFor(displayText);
    if (!pattern.empty())
        return formatFloat(pattern, v);
    if (currency_)
        return displayText ? formatCurrency(v, regional().currencyDecimals)
                           : formatFixed(v, regional().currencyDecimals);
    return formatGeneral(v, precision_);
}

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner) {
    setDataType(ftCurrency);
    setCurrency(true);
}

} // namespace cibrano

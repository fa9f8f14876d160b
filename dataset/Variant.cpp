#include "dataset/Variant.h"

#include "dataset/DbConsts.h"
#include "dataset/NumberFormat.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"
#include "platform/DateTimeText.h"
#include "platform/Format.h"

#include <cmath>

namespace cibrano {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// An integer text: optional blanks, an optional sign, decimal digits, optional blanks.
bool tryParseInteger(const AnsiString& text, int64_t& value) {
    size_t i = 0, n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    size_t digits = 0;
    uint64_t magnitude = 0;
    const uint64_t limit = negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX);
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        const uint64_t digit = static_cast<uint64_t>(text[i] - '0');
        if (magnitude > (limit - digit) / 10)
            return false;
        magnitude = magnitude * 10 + digit;
    }
    while (i < n && isBlank(text[i]))
        ++i;
    if (digits == 0 || i != n)
        return false;
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

// Rounds half away from zero; false outside the int64 range (and for NaN).
bool tryFloatToInteger(double value, int64_t& result) {
    const double rounded = std::round(value);
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
        return false;
    result = static_cast<int64_t>(rounded);
    return true;
}

} // namespace

TVariant TVariant::null() {
    TVariant v;
    v.kind_ = vkNull;
    return v;
}

TVariant TVariant::dateTime(TDateTime value) {
    TVariant v;
    v.kind_ = vkDateTime;
    v.float_ = value;
    return v;
}

TVariant TVariant::array(std::initializer_list<TVariant> elements) {
    return TVariant(std::vector<TVariant>(elements));
}

const TVariant& TVariant::element(int index) const {
    static const TVariant unassigned;
    if (index < 0 || index >= elementCount())
        return unassigned;
    return elements_[static_cast<size_t>(index)];
}

const char* TVariant::kindName(TVariantKind kind) {
    switch (kind) {
    case vkUnassigned:
        return "Empty";
    case vkNull:
        return "Null";
    case vkInteger:
        return "Integer";
    case vkFloat:
        return "Double";
    case vkBoolean:
        return "Boolean";
    case vkString:
        return "String";
    case vkDateTime:
        return "Date";
    case vkArray:
        return "Array";
    }
    return "Unknown";
}

void TVariant::conversionError(TVariantKind wanted) const {
    databaseError(formatText(dbconsts::kVariantConversion, kindName(kind_), kindName(wanted)));
}

int64_t TVariant::asInteger() const {
    int64_t result = 0;
    switch (kind_) {
    case vkUnassigned:
        return 0;
    case vkInteger:
    case vkBoolean:
        return integer_;
    case vkFloat:
    case vkDateTime:
        if (tryFloatToInteger(float_, result))
            return result;
        break;
    case vkString:
        if (tryParseInteger(text_, result))
            return result;
        break;
    case vkNull:
    case vkArray:
        break;
    }
    conversionError(vkInteger);
}

double TVariant::asFloat() const {
    double result = 0;
    switch (kind_) {
    case vkUnassigned:
        return 0;
    case vkInteger:
    case vkBoolean:
        return static_cast<double>(integer_);
    case vkFloat:
    case vkDateTime:
        return float_;
    case vkString:
        if (tryParseFloat(text_, result))
            return result;
        break;
    case vkNull:
    case vkArray:
        break;
    }
    conversionError(vkFloat);
}

bool TVariant::asBoolean() const {
    double number = 0;
    switch (kind_) {
    case vkUnassigned:
        return false;
    case vkInteger:
    case vkBoolean:
        return integer_ != 0;
    case vkFloat:
    case vkDateTime:
        return float_ != 0;
    case vkString:
        if (ansiSameText(text_, dbconsts::kTextTrue))
            return true;
        if (ansiSameText(text_, dbconsts::kTextFalse))
            return false;
        if (tryParseFloat(text_, number))
            return number != 0;
        break;
    case vkNull:
    case vkArray:
        break;
    }
    conversionError(vkBoolean);
}

AnsiString TVariant::asString() const {
    switch (kind_) {
    case vkUnassigned:
        return AnsiString();
    case vkInteger:
        return std::to_string(integer_);
    case vkBoolean:
        return integer_ ? dbconsts::kTextTrue : dbconsts::kTextFalse;
    case vkFloat:
        return formatGeneral(float_, 15);
    case vkString:
        return text_;
    case vkDateTime:
        // A whole day shows as a date, a time of day without a date as a time.
        if (float_ == std::trunc(float_))
            return formatDate(float_);
        if (std::trunc(float_) == 0)
            return formatTime(float_);
        return formatDateTime(float_);
    case vkNull:
    case vkArray:
        break;
    }
    conversionError(vkString);
}

TDateTime TVariant::asDateTime() const {
    TDateTime result = 0;
    switch (kind_) {
    case vkString:
        if (tryParseDateTime(text_, result) || tryParseTime(text_, result))
            return result;
        conversionError(vkDateTime);
    case vkNull:
    case vkArray:
        conversionError(vkDateTime);
    default:
        return asFloat();
    }
}

TVariant TVariant::convertedTo(TVariantKind kind) const {
    if (kind == kind_ || !hasValue() || kind_ == vkArray)
        return *this;
    switch (kind) {
    case vkInteger:
        return TVariant(asInteger());
    case vkFloat:
        return TVariant(asFloat());
    case vkBoolean:
        return TVariant(asBoolean());
    case vkString:
        return TVariant(asString());
    case vkDateTime:
        return dateTime(asDateTime());
    case vkUnassigned:
    case vkNull:
    case vkArray:
        break;
    }
    return *this;
}

bool TVariant::operator==(const TVariant& other) const {
    if (kind_ != other.kind_)
        return false;
    switch (kind_) {
    case vkUnassigned:
    case vkNull:
        return true;
    case vkInteger:
    case vkBoolean:
        return integer_ == other.integer_;
    case vkFloat:
    case vkDateTime:
        return float_ == other.float_;
    case vkString:
        return text_ == other.text_;
    case vkArray:
        return elements_ == other.elements_;
    }
    return false;
}

} // namespace cibrano

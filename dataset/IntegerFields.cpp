#include "dataset/IntegerFields.h"

#include "dataset/DbConsts.h"
#include "dataset/NumberFormat.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"

#include <cmath>
#include <cstring>

namespace cibrano {

TIntegerField::TIntegerField(TComponent* owner)
    : TIntegerField(owner, ftInteger, INT32_MIN, INT32_MAX) {}

TIntegerField::TIntegerField(TComponent* owner, TFieldType type, int64_t low, int64_t high)
    : TNumericField(owner), typeLow_(low), typeHigh_(high) {
    setDataType(type);
}

TSmallintField::TSmallintField(TComponent* owner)
    : TIntegerField(owner, ftSmallint, INT16_MIN, INT16_MAX) {}

TWordField::TWordField(TComponent* owner) : TIntegerField(owner, ftWord, 0, UINT16_MAX) {}

TAutoIncField::TAutoIncField(TComponent* owner)
    : TIntegerField(owner, ftAutoInc, INT32_MIN, INT32_MAX) {}

int TIntegerField::dataSize() const {
    return DataType() == ftSmallint || DataType() == ftWord ? 2 : 4;
}

bool TIntegerField::readValue(int64_t& value) const {
    unsigned char raw[4] = {};
    if (!readRaw(raw))
        return false;
    switch (DataType()) {
    case ftSmallint: {
        int16_t v;
        std::memcpy(&v, raw, sizeof v);
        value = v;
        break;
    }
    case ftWord: {
        uint16_t v;
        std::memcpy(&v, raw, sizeof v);
        value = v;
        break;
    }
    default: {
        int32_t v;
        std::memcpy(&v, raw, sizeof v);
        value = v;
        break;
    }
    }
    return true;
}

void TIntegerField::writeValue(int64_t value) {
    int64_t low = typeLow_, high = typeHigh_;
    if (minValue_ != 0 || maxValue_ != 0) {
        low = minValue_;
        high = maxValue_;
    }
    if (value < low || value > high)
        databaseError(formatText(dbconsts::kIntegerRangeError, static_cast<int>(value),
                                 displayName(), static_cast<int>(low), static_cast<int>(high)));
    unsigned char raw[4] = {};
    if (dataSize() == 2) {
        uint16_t v = static_cast<uint16_t>(value);
        std::memcpy(raw, &v, sizeof v);
    } else {
        int32_t v = static_cast<int32_t>(value);
        std::memcpy(raw, &v, sizeof v);
    }
    writeRaw(raw);
}

int TIntegerField::integerValue() const {
    int64_t v = 0;
    return readValue(v) ? static_cast<int>(v) : 0;
}

void TIntegerField::setIntegerValue(int value) {
    writeValue(value);
}

double TIntegerField::floatValue() const {
    return integerValue();
}

void TIntegerField::setFloatValue(double value) {
    double r = std::round(value);
    if (!(r >= typeLow_ && r <= typeHigh_))
        databaseError(
            formatText(dbconsts::kInvalidIntegerValue, formatGeneral(value, 15), displayName()));
    writeValue(static_cast<int64_t>(r));
}

AnsiString TIntegerField::stringValue() const {
    int64_t v = 0;
    return readValue(v) ? std::to_string(v) : AnsiString();
}

void TIntegerField::setStringValue(const AnsiString& text) {
    if (text.empty()) {
        clearValue();
        return;
    }
    size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    size_t digits = 0;
    int64_t v = 0;
    bool overflow = false;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        if (!overflow)
            v = v * 10 + (text[i] - '0');
        overflow = overflow || v > (int64_t{1} << 40);
        ++i;
        ++digits;
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (digits == 0 || i != n || overflow)
        databaseError(formatText(dbconsts::kInvalidIntegerValue, text, displayName()));
    if (negative)
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        databaseError(formatText(dbconsts::kInvalidIntegerValue, text, displayName()));
    writeValue(v);
}

bool TIntegerField::acceptsChar(char c) const {
    return (c >= '0' && c <= '9') || c == '+' || c == '-';
}

AnsiString TIntegerField::textOf(bool displayText) const {
    int64_t v = 0;
    if (!readValue(v))
        return AnsiString();
    const AnsiString& pattern = patternFor(displayText);
    if (!pattern.empty())
        return formatFloat(pattern, static_cast<double>(v));
    return std::to_string(v);
}

} // namespace cibrano

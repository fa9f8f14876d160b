#pragma once
// TVariant: one value of any of the kinds a field can hold, or none. Searches take their key
// values in it (one value, or an array with one value per key field) and lookups answer with
// it, so that a caller can search any dataset without knowing its field classes.
//
// Two kinds of "no value": unassigned (nothing was given at all) and null (a field without a
// value). Searches treat both as "nothing to search for"; converting an unassigned value gives
// zero, false or empty text, converting a null raises, because a null has no value to give.
//
// Texts of numbers and dates follow the regional settings, as field texts do.

#include "platform/AnsiString.h"
#include "platform/DateTime.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace cibrano {

enum TVariantKind {
    vkUnassigned,
    vkNull,
    vkInteger,
    vkFloat,
    vkBoolean,
    vkString,
    vkDateTime,
    vkArray,
};

class TVariant {
public:
    TVariant() = default;
    TVariant(int value) : kind_(vkInteger), integer_(value) {}
    TVariant(int64_t value) : kind_(vkInteger), integer_(value) {}
    TVariant(double value) : kind_(vkFloat), float_(value) {}
    TVariant(bool value) : kind_(vkBoolean), integer_(value ? 1 : 0) {}
    TVariant(const char* text) : kind_(vkString), text_(text ? text : "") {}
    TVariant(AnsiString text) : kind_(vkString), text_(std::move(text)) {}
    TVariant(std::vector<TVariant> elements) : kind_(vkArray), elements_(std::move(elements)) {}

    static TVariant null();
    // TDateTime is a double: a date needs its own maker to keep its kind.
    static TVariant dateTime(TDateTime value);
    static TVariant array(std::initializer_list<TVariant> elements);

    TVariantKind kind() const { return kind_; }
    bool isUnassigned() const { return kind_ == vkUnassigned; }
    bool isNull() const { return kind_ == vkNull; }
    // Neither unassigned nor null: something to search for or to store.
    bool hasValue() const { return kind_ != vkUnassigned && kind_ != vkNull; }
    bool isArray() const { return kind_ == vkArray; }
    // The elements of an array; none for the other kinds.
    const std::vector<TVariant>& elements() const { return elements_; }
    int elementCount() const { return static_cast<int>(elements_.size()); }
    // Element `index` of an array (unassigned outside it, and for a value that is no array).
    const TVariant& element(int index) const;

    // Conversions. They raise "Could not convert variant of type (%s) into type (%s)" when the
    // value has no form of the wanted kind: a null, an array, a text that is not a number, a
    // date or a boolean, a number outside the integer range.
    int64_t asInteger() const;
    double asFloat() const;
    bool asBoolean() const;
    AnsiString asString() const;
    TDateTime asDateTime() const;
    // The value in the given kind; unassigned, null and arrays stay as they are, and so does
    // everything when the kind asked for is one of those.
    TVariant convertedTo(TVariantKind kind) const;

    // Same kind and same value (texts compared byte for byte, arrays element by element).
    bool operator==(const TVariant& other) const;
    bool operator!=(const TVariant& other) const { return !(*this == other); }

    // "Empty", "Null", "Integer", "Double", "Boolean", "String", "Date", "Array".
    static const char* kindName(TVariantKind kind);

private:
    [[noreturn]] void conversionError(TVariantKind wanted) const;

    TVariantKind kind_ = vkUnassigned;
    int64_t integer_ = 0; // integers and booleans
    double float_ = 0;    // floats and dates
    AnsiString text_;
    std::vector<TVariant> elements_;
};

} // namespace cibrano

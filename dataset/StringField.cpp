#include "dataset/StringField.h"

#include "dataset/DataSet.h"
#include "dataset/DbConsts.h"
#include "dataset/EditMask.h"
#include "dataset/NumberFormat.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace cibrano {

TStringField::TStringField(TComponent* owner) : TField(owner) {
    setDataType(ftString);
    setSize(20);
}

void TStringField::setFixedChar(bool value) {
    fixedChar_ = value;
    setDataType(value ? ftFixedChar : ftString);
}

void TStringField::setEditMask(const AnsiString& mask) {
    changeProperty(editMask_, mask, false);
}

AnsiString TStringField::stringValue() const {
    // Read into a buffer on the stack when the field is short enough (every read of a grid
    // cell, a filter or a search comes here), else into one on the heap.
    const size_t size = static_cast<size_t>(Size()) + 1;
    char local[256];
    std::vector<char> heap;
    char* buffer = local;
    if (size > sizeof local) {
        heap.resize(size);
        buffer = heap.data();
    }
    std::memset(buffer, 0, size);
    if (!readRaw(buffer))
        return AnsiString();
    AnsiString text(buffer, strnlen(buffer, size - 1));
    if (transliterate_ && DataSet())
        text = DataSet()->transliterate(text, true);
    if (fixedChar_) {
        size_t end = text.find_last_not_of(' ');
        text.erase(end == AnsiString::npos ? 0 : end + 1);
    }
    return text;
}

void TStringField::setStringValue(const AnsiString& text) {
    AnsiString value = text.substr(0, static_cast<size_t>(Size()));
    if (transliterate_ && DataSet())
        value = DataSet()->transliterate(value, false).substr(0, static_cast<size_t>(Size()));
    std::vector<char> buffer(static_cast<size_t>(Size()) + 1, '\0');
    std::memcpy(buffer.data(), value.data(), value.size());
    writeRaw(buffer.data());
}

double TStringField::floatValue() const {
    AnsiString text = stringValue();
    if (text.empty())
        return 0;
    double v;
    if (!tryParseFloat(text, v))
        databaseError(formatText(dbconsts::kInvalidFloatValue, text, displayName()));
    return v;
}

void TStringField::setFloatValue(double value) {
    setStringValue(formatGeneral(value, 15));
}

int TStringField::integerValue() const {
    AnsiString text = stringValue();
    if (text.empty())
        return 0;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 10);
    while (end && *end == ' ')
        ++end;
    if (errno != 0 || !end || *end != '\0' || end == text.c_str() || v < INT32_MIN || v > INT32_MAX)
        databaseError(formatText(dbconsts::kInvalidIntegerValue, text, displayName()));
    return static_cast<int>(v);
}

void TStringField::setIntegerValue(int value) {
    setStringValue(std::to_string(value));
}

bool TStringField::booleanValue() const {
    AnsiString text = stringValue();
    return !text.empty() && std::strchr("TtYy", text[0]) != nullptr;
}

void TStringField::setBooleanValue(bool value) {
    setStringValue(value ? "T" : "F");
}

AnsiString TStringField::textOf(bool displayText) const {
    AnsiString text = stringValue();
    if (displayText && !editMask_.empty())
        return formatMaskText(editMask_, text);
    return text;
}

} // namespace cibrano

#include "tools/CsvValues.h"

#include "engine/ZerovAlg.h"
#include "engine/ZerovTbl.h"
#include "platform/AnsiCase.h"
#include "platform/AnsiString.h"
#include "platform/Csv.h"
#include "platform/RegionalSettings.h"
#include "tools/ToolError.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace cibrano::tool {

namespace {

[[noreturn]] void badValue(int line, const TZerovField& f, const std::string& what) {
    throw ToolError("line " + std::to_string(line) + ", field " + ansiToUtf8(f.fieldName) + ": " +
                    what);
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The whole text, blanks around it aside, as a number of type T in the C locale's form, a
// leading "+" allowed; false when it is not one or does not fit T.
template <typename T> bool parseNumber(std::string_view s, T& value) {
    s = trimmed(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size() && !s.empty();
}

std::string hexText(const uint8_t* bytes, int32_t length) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (int32_t i = 0; i < length; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void putBlob(uint8_t* slot, const std::string& bytes) {
    auto* block = new uint8_t[bytes.size()];
    std::memcpy(block, bytes.data(), bytes.size());
    setBlobRef(slot, block, static_cast<int32_t>(bytes.size()));
}

} // namespace

void useToolRegionalSettings() {
    RegionalSettings s;
    s.decimalSeparator = '.';
    s.thousandSeparator = ',';
    s.dateSeparator = '-';
    s.timeSeparator = ':';
    s.shortDateFormat = "yyyy/mm/dd";
    s.longTimeFormat = "hh:nn:ss";
    setRegional(s);
}

std::string valueAsCsvText(const uint8_t* buffer, const TZerovField& f) {
    const uint8_t* slot = slotOf(buffer, f);
    switch (f.storageKind) {
    case kindFloat:
    case kindCurrency:
        return csvNumber(readSlot<double>(slot));
    case kindBlob:
    case kindGraphic: {
        const uint8_t* block = blobRefAt(slot);
        return block ? hexText(block, blobLengthAt(slot)) : std::string();
    }
    case kindUnknown:
        return std::string();
    default: // whole numbers, texts, booleans, dates and times as the engine shows them
        return ansiToUtf8(bufferValueAsText(buffer, f));
    }
}

void valueFromCsvText(uint8_t* buffer, const TZerovField& f, std::string_view text, int line) {
    if (text.empty())
        return;
    uint8_t* slot = slotOf(buffer, f);
    switch (f.storageKind) {
    case kindSmallint: {
        int16_t v;
        if (!parseNumber(text, v))
            badValue(line, f, "not a whole number from -32768 to 32767");
        writeSlot(slot, v);
        return;
    }
    case kindInteger:
    case kindAutoInc: {
        int32_t v;
        if (!parseNumber(text, v))
            badValue(line, f, "not a whole number from -2147483648 to 2147483647");
        writeSlot(slot, v);
        return;
    }
    case kindFloat:
    case kindCurrency: {
        double v;
        if (!parseNumber(text, v) || !std::isfinite(v))
            badValue(line, f, "\"" + std::string(text) + "\" is not a number");
        writeSlot(slot, v);
        return;
    }
    case kindBoolean: {
        const AnsiString word = ansiUpperCase(trimmed(text));
        for (const char* yes : {"TRUE", "YES", "T", "1"})
            if (word == yes) {
                writeSlot<int16_t>(slot, -1);
                return;
            }
        for (const char* no : {"FALSE", "NO", "F", "0"})
            if (word == no)
                return;
        badValue(line, f, "\"" + std::string(text) + "\" is neither true nor false");
    }
    case kindBlob:
    case kindGraphic: {
        std::string_view digits = trimmed(text);
        if (digits.size() % 2 != 0)
            badValue(line, f, "an odd number of hexadecimal digits");
        std::string bytes;
        for (size_t i = 0; i < digits.size(); i += 2) {
            int hi = hexDigit(digits[i]), lo = hexDigit(digits[i + 1]);
            if (hi < 0 || lo < 0)
                badValue(line, f, "not hexadecimal digits");
            bytes += static_cast<char>(hi * 16 + lo);
        }
        putBlob(slot, bytes);
        return;
    }
    case kindUnknown:
        badValue(line, f, "the field has no type that can hold a value");
    default:
        break;
    }

    auto ansi = utf8ToAnsi(text);
    if (!ansi)
        badValue(line, f, "holds a character that Windows-1252 cannot represent");
    switch (f.storageKind) {
    case kindFixedText:
    case kindText:
        if (ansi->size() > static_cast<size_t>(std::max<int>(f.declaredSize, 0)))
            badValue(line, f, "longer than " + std::to_string(f.declaredSize) + " characters");
        if (ansi->find('\0') != AnsiString::npos)
            badValue(line, f, "holds a NUL character");
        fieldValueFromText(slot, *ansi, f);
        return;
    case kindMemo:
    case kindFmtMemo:
        putBlob(slot, *ansi);
        return;
    default: { // dates and times
        fieldValueFromText(slot, *ansi, f);
        bool empty = f.storageKind == kindDateTime ? readSlot<double>(slot) == 0.0
                                                   : readSlot<int32_t>(slot) == 0;
        // Midnight is a time of 0 milliseconds; anything else that gives 0 did not convert.
        if (empty &&
            !(f.storageKind == kindTime && ansi->find_first_not_of("0:. ") == AnsiString::npos))
            badValue(line, f, "\"" + std::string(text) + "\" is not a valid date or time");
        return;
    }
    }
}

} // namespace cibrano::tool

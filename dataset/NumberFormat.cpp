#include "dataset/NumberFormat.h"

#include "platform/DatabaseError.h"
#include "platform/RegionalSettings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace cibrano {

namespace {

constexpr const char* kFormatTooLong = "Format string too long";

// Significant digits kept from a double before any rounding.
constexpr int kMaxDigits = 18;
// The fall-back precision of the pattern language.
constexpr int kFallbackPrecision = 15;

// A finite value as 0.d1d2d3... times ten to the power `exponent`. `digits` has no trailing
// zeros; it is empty for zero, whose exponent is 0 and which is never negative.
struct Decimal {
    bool negative = false;
    int exponent = 0;
    std::string digits;

    bool isZero() const { return digits.empty(); }
};

void dropTrailingZeros(Decimal& d) {
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty()) {
        d.negative = false;
        d.exponent = 0;
    }
}

// The value's first 18 significant digits, correctly rounded from the binary value.
Decimal decompose(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    double magnitude = std::fabs(value);
    if (magnitude == 0) {
        d.negative = false;
        return d;
    }
    // "d.ddddddddddddddddde+XX": one digit, 17 more, then the exponent.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                             kMaxDigits - 1);
    std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
    size_t e = text.find('e');
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            d.digits += text[i];
    int exp10 = 0;
    std::string_view expText = text.substr(e + 1);
    if (!expText.empty() && expText.front() == '+')
        expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exp10);
    d.exponent = exp10 + 1;
    dropTrailingZeros(d);
    return d;
}

// Keeps `count` significant digits, rounding half away from zero on the digit string. A count
// of zero or less rounds at or before the first digit: the value becomes 1 of the next power
// of ten, or zero.
void roundDigits(Decimal& d, int count) {
    if (d.isZero() || count >= static_cast<int>(d.digits.size()))
        return;
    if (count < 0) {
        d.digits.clear();
        dropTrailingZeros(d);
        return;
    }
    bool up = d.digits[static_cast<size_t>(count)] >= '5';
    d.digits.resize(static_cast<size_t>(count));
    if (up) {
        int i = count - 1;
        while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
            d.digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[static_cast<size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    dropTrailingZeros(d);
}

// Rounds to `decimals` places after the point, within the first 18 significant digits.
void roundToDecimals(Decimal& d, int decimals) {
    if (d.isZero())
        return;
    long long count = static_cast<long long>(d.exponent) + decimals;
    roundDigits(d, static_cast<int>(std::min<long long>(count, kMaxDigits)));
}

AnsiString nonFiniteText(double value) {
    AnsiString out = std::signbit(value) ? "-" : "";
    out += std::isnan(value) ? "NAN" : "INF";
    return out;
}

// Integer digits and `decimals` decimals of a rounded value, without sign.
AnsiString fixedDigits(const Decimal& d, int decimals, bool grouping) {
    const RegionalSettings& rs = regional();
    AnsiString out;
    int n = static_cast<int>(d.digits.size());
    int intDigits = std::max(d.exponent, 0);
    if (intDigits == 0)
        out += '0';
    for (int place = intDigits - 1; place >= 0; --place) {
        int index = d.exponent - 1 - place;
        out += index < n ? d.digits[static_cast<size_t>(index)] : '0';
        if (grouping && place > 0 && place % 3 == 0)
            out += rs.thousandSeparator;
    }
    if (decimals > 0) {
        out += rs.decimalSeparator;
        for (int j = 1; j <= decimals; ++j) {
            int index = d.exponent - 1 + j;
            out += index >= 0 && index < n ? d.digits[static_cast<size_t>(index)] : '0';
        }
    }
    return out;
}

// --- The pattern language ---

struct Sections {
    std::string_view part[3];
    int count = 0;
};

// Splits at ";" outside quotes; text after a third ";" belongs to no section.
Sections splitSections(std::string_view pattern) {
    Sections s;
    size_t start = 0;
    size_t i = 0;
    while (i < pattern.size() && s.count < 3) {
        char c = pattern[i];
        if (c == '\'' || c == '"') {
            size_t close = pattern.find(c, i + 1);
            i = close == std::string_view::npos ? pattern.size() : close + 1;
            continue;
        }
        if (c == ';') {
            s.part[s.count++] = pattern.substr(start, i - start);
            start = i + 1;
        }
        ++i;
    }
    if (s.count < 3 && start <= pattern.size())
        s.part[s.count++] =
            pattern.substr(start, (i < pattern.size() ? i : pattern.size()) - start);
    return s;
}

// Index of the section for a value: 1 for negative, 2 for zero, 0 otherwise, and 0 whenever
// the wanted section is absent or empty.
int chooseSection(const Sections& s, int wanted) {
    if (wanted < s.count && !s.part[wanted].empty())
        return wanted;
    return 0;
}

bool isExponentStart(std::string_view section, size_t i) {
    return (section[i] == 'E' || section[i] == 'e') && i + 1 < section.size() &&
           (section[i + 1] == '+' || section[i + 1] == '-');
}

size_t skipQuoted(std::string_view section, size_t i) {
    size_t close = section.find(section[i], i + 1);
    return close == std::string_view::npos ? section.size() : close + 1;
}

struct SectionLayout {
    int placeholders = 0;
    int decimalIndex = 0; // placeholders before the first "."
    int requiredIntegers = 0;
    int requiredDecimals = 0;
    bool grouping = false;
    bool scientific = false;
};

SectionLayout analyse(std::string_view section) {
    SectionLayout l;
    int decimalIndex = -1;
    int firstZero = -1;
    int lastZero = -1;
    size_t i = 0;
    while (i < section.size()) {
        char c = section[i];
        if (c == '\'' || c == '"') {
            i = skipQuoted(section, i);
            continue;
        }
        if (isExponentStart(section, i)) {
            l.scientific = true;
            i += 2;
            while (i < section.size() && section[i] == '0')
                ++i;
            continue;
        }
        if (c == '#' || c == '0') {
            if (c == '0') {
                if (firstZero < 0)
                    firstZero = l.placeholders;
                lastZero = l.placeholders;
            }
            ++l.placeholders;
        } else if (c == '.') {
            if (decimalIndex < 0)
                decimalIndex = l.placeholders;
        } else if (c == ',') {
            l.grouping = true;
        }
        ++i;
    }
    l.decimalIndex = decimalIndex < 0 ? l.placeholders : decimalIndex;
    if (firstZero >= 0 && firstZero < l.decimalIndex)
        l.requiredIntegers = l.decimalIndex - firstZero;
    if (lastZero >= l.decimalIndex)
        l.requiredDecimals = lastZero - l.decimalIndex + 1;
    return l;
}

// Writes a rounded value through one section.
class PatternWriter {
public:
    PatternWriter(std::string_view section, const SectionLayout& layout, const Decimal& value)
        : section_(section), layout_(layout), value_(value), rs_(regional()) {
        n_ = static_cast<int>(value.digits.size());
        if (value.isZero()) {
            point_ = 0;
            exponentShown_ = 0;
        } else if (layout.scientific) {
            // The digits are placed so that the pattern's integer placeholders are all
            // filled; the exponent makes up for the shift.
            point_ = layout.decimalIndex;
            exponentShown_ = value.exponent - layout.decimalIndex;
        } else {
            point_ = value.exponent;
        }
        intDigits_ = std::max(point_, 0);
        decimalsHeld_ = std::max(n_ - point_, 0);
    }

    AnsiString write(bool withSign) {
        if (withSign && value_.negative)
            out_ += '-';
        int placeholder = 0;
        size_t i = 0;
        while (i < section_.size()) {
            char c = section_[i];
            if (c == '\'' || c == '"') {
                // Quoted text is copied without its quotes; an unclosed quote runs to the end.
                size_t close = section_.find(c, i + 1);
                size_t end = close == std::string_view::npos ? section_.size() : close;
                out_.append(section_.substr(i + 1, end - i - 1));
                i = close == std::string_view::npos ? end : close + 1;
                continue;
            }
            if (isExponentStart(section_, i)) {
                i = writeExponent(i);
                continue;
            }
            if (c == '#' || c == '0')
                writePlaceholder(placeholder++);
            else if (c != '.' && c != ',')
                out_ += c;
            ++i;
        }
        return out_;
    }

private:
    char integerDigit(int place) const {
        int index = point_ - 1 - place;
        return index < n_ ? value_.digits[static_cast<size_t>(index)] : '0';
    }

    void putInteger(char digit, int place) {
        out_ += digit;
        if (layout_.grouping && place > 0 && place % 3 == 0)
            out_ += rs_.thousandSeparator;
    }

    void putDecimal(char digit) {
        if (!pointWritten_) {
            out_ += rs_.decimalSeparator;
            pointWritten_ = true;
        }
        out_ += digit;
    }

    void writePlaceholder(int k) {
        int d = layout_.decimalIndex;
        // Integer digits for which the pattern has no placeholder all come out at the first.
        if (k == 0)
            for (int place = intDigits_ - 1; place >= d; --place)
                putInteger(integerDigit(place), place);
        if (k < d) {
            int place = d - 1 - k;
            if (place < intDigits_)
                putInteger(integerDigit(place), place);
            else if (place < layout_.requiredIntegers)
                putInteger('0', place);
            return;
        }
        int j = k - d + 1;
        if (j <= decimalsHeld_) {
            int index = point_ - 1 + j;
            putDecimal(index < 0 ? '0' : value_.digits[static_cast<size_t>(index)]);
        } else if (j <= layout_.requiredDecimals) {
            putDecimal('0');
        }
    }

    size_t writeExponent(size_t i) {
        out_ += section_[i];
        bool plus = section_[i + 1] == '+';
        i += 2;
        int zeros = 0;
        while (i < section_.size() && section_[i] == '0') {
            ++zeros;
            ++i;
        }
        if (exponentShown_ < 0)
            out_ += '-';
        else if (plus)
            out_ += '+';
        std::string digits = std::to_string(std::abs(exponentShown_));
        for (int pad = std::min(zeros, 4) - static_cast<int>(digits.size()); pad > 0; --pad)
            out_ += '0';
        out_ += digits;
        return i;
    }

    std::string_view section_;
    const SectionLayout& layout_;
    const Decimal& value_;
    const RegionalSettings& rs_;
    AnsiString out_;
    int n_ = 0;
    int point_ = 0; // digits of value_ before the decimal point as written
    int intDigits_ = 0;
    int decimalsHeld_ = 0;
    int exponentShown_ = 0;
    bool pointWritten_ = false;
};

// The fixed form shared by the fixed and currency formats: the minus sign, then `symbol`, then
// the digits rounded to `decimals`.
AnsiString fixedForm(double value, int decimals, const AnsiString& symbol, bool grouping) {
    if (!std::isfinite(value))
        return formatGeneral(value, kFallbackPrecision);
    int places = std::clamp(decimals, 0, kMaxDigits);
    Decimal d = decompose(value);
    roundToDecimals(d, places);
    if (d.exponent > kMaxDigits)
        return formatGeneral(value, kFallbackPrecision);
    return (d.negative ? "-" : "") + symbol + fixedDigits(d, places, grouping);
}

} // namespace

AnsiString formatGeneral(double value, int precision) {
    if (!std::isfinite(value))
        return nonFiniteText(value);
    int p = std::clamp(precision, 2, kMaxDigits);
    Decimal d = decompose(value);
    if (d.isZero())
        return "0";
    roundDigits(d, p);
    const char sep = regional().decimalSeparator;
    AnsiString out = d.negative ? "-" : "";
    const std::string& digits = d.digits;
    int e = d.exponent;
    if (e > p || e < -3) {
        out += digits[0];
        if (digits.size() > 1) {
            out += sep;
            out.append(digits, 1);
        }
        out += 'E';
        if (e - 1 < 0)
            out += '-';
        out += std::to_string(std::abs(e - 1));
    } else if (e <= 0) {
        out += '0';
        out += sep;
        out.append(static_cast<size_t>(-e), '0');
        out += digits;
    } else {
        for (int i = 0; i < e; ++i)
            out += i < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(i)] : '0';
        if (static_cast<int>(digits.size()) > e) {
            out += sep;
            out.append(digits, static_cast<size_t>(e));
        }
    }
    return out;
}

AnsiString formatFloat(std::string_view pattern, double value) {
    if (pattern.size() > kMaxFormatPatternLength)
        databaseError(kFormatTooLong);
    Sections sections = splitSections(pattern);
    int wanted = value < 0 ? 1 : (value == 0 ? 2 : 0);
    int index = chooseSection(sections, wanted);
    if (sections.part[index].empty() || !std::isfinite(value))
        return formatGeneral(value, kFallbackPrecision);

    SectionLayout layout = analyse(sections.part[index]);
    Decimal d = decompose(value);
    if (layout.scientific) {
        roundDigits(d, std::clamp(layout.placeholders, 1, kMaxDigits));
    } else {
        roundToDecimals(d, layout.placeholders - layout.decimalIndex);
        if (d.exponent > kMaxDigits)
            return formatGeneral(value, kFallbackPrecision);
    }
    if (d.isZero() && index != 2) {
        index = chooseSection(sections, 2);
        if (sections.part[index].empty())
            return formatGeneral(0, kFallbackPrecision);
        layout = analyse(sections.part[index]);
    }
    PatternWriter writer(sections.part[index], layout, d);
    return writer.write(index == 0);
}

AnsiString formatFixed(double value, int decimals) {
    return fixedForm(value, decimals, AnsiString(), false);
}

AnsiString formatCurrency(double value, int decimals) {
    return fixedForm(value, decimals, regional().currencySymbol, true);
}

bool tryParseFloat(std::string_view text, double& value) {
    const char sep = regional().decimalSeparator;
    size_t i = 0;
    const size_t n = text.size();
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < n && text[i] == ' ')
        ++i;
    // Rebuilt in the form std::from_chars reads whatever the regional separator is.
    std::string plain;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            plain += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool point = false;
    // Where the first significant digit stands relative to the point, to tell an overflow
    // from an underflow.
    long long magnitude = 0;
    bool significant = false;
    while (i < n && (isDigit(text[i]) || (text[i] == sep && !point))) {
        if (text[i] == sep) {
            point = true;
            plain += '.';
        } else {
            ++mantissaDigits;
            plain += text[i];
            if (text[i] != '0')
                significant = true;
            if (!point && significant)
                ++magnitude;
            else if (point && !significant)
                --magnitude;
        }
        ++i;
    }
    if (mantissaDigits == 0)
        return false;
    long long exponent = 0;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        plain += 'e';
        ++i;
        bool negative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negative = text[i] == '-';
            plain += text[i];
            ++i;
        }
        int expDigits = 0;
        while (i < n && isDigit(text[i])) {
            plain += text[i];
            if (exponent < 100000000)
                exponent = exponent * 10 + (text[i] - '0');
            ++expDigits;
            ++i;
        }
        if (expDigits == 0)
            return false;
        if (negative)
            exponent = -exponent;
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        return false;
    double result = 0;
    auto res = std::from_chars(plain.data(), plain.data() + plain.size(), result);
    if (res.ec == std::errc::result_out_of_range) {
        if (!significant || magnitude + exponent < 0) {
            value = plain.front() == '-' ? -0.0 : 0.0;
            return true;
        }
        return false;
    }
    if (res.ec != std::errc() || res.ptr != plain.data() + plain.size() || !std::isfinite(result))
        return false;
    value = result;
    return true;
}

} // namespace cibrano

#include "platform/DateTimeText.h"

#include "platform/AnsiCase.h"
#include "platform/Clock.h"
#include "platform/RegionalSettings.h"

#include <cmath>
#include <string>

namespace cibrano {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

void appendNumber(AnsiString& out, int value, int minDigits) {
    std::string digits = std::to_string(value < 0 ? 0 : value);
    if (static_cast<int>(digits.size()) < minDigits)
        out.append(static_cast<size_t>(minDigits) - digits.size(), '0');
    out += digits;
}

// Walks a format, handing each run of a letter in `letters` to `put` (letter, run length)
// and copying the rest, with `slash` standing for `separator`.
template <typename Put>
AnsiString expand(std::string_view format, const char* letters, char slash, char separator,
                  Put put) {
    AnsiString out;
    size_t i = 0;
    while (i < format.size()) {
        char c = format[i];
        char lc = lowerAscii(c);
        if (c == '\'' || c == '"') {
            size_t close = format.find(c, i + 1);
            size_t end = close == std::string_view::npos ? format.size() : close;
            out.append(format.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? end : close + 1;
            continue;
        }
        if (std::string_view(letters).find(lc) != std::string_view::npos) {
            size_t run = 1;
            while (i + run < format.size() && lowerAscii(format[i + run]) == lc)
                ++run;
            put(out, lc, static_cast<int>(run));
            i += run;
            continue;
        }
        out += c == slash ? separator : c;
        ++i;
    }
    return out;
}

// A cursor over text being read.
struct Scanner {
    std::string_view text;
    size_t pos = 0;

    bool atEnd() const { return pos >= text.size(); }
    void skipBlanks() {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
    }
    bool take(char c) {
        if (pos < text.size() && text[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }
    // An unsigned number of 1..maxDigits digits.
    bool number(int maxDigits, int& value, int& digits) {
        value = 0;
        digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            if (++digits > maxDigits)
                return false;
            value = value * 10 + (text[pos] - '0');
            ++pos;
        }
        return digits > 0;
    }
};

int currentYear() {
    int y, m, d;
    decodeDate(now(), y, m, d);
    return y;
}

int windowedYear(int twoDigitYear) {
    int current = currentYear();
    int year = current - current % 100 + twoDigitYear;
    if (year < current - 50)
        year += 100;
    else if (year > current + 49)
        year -= 100;
    return year;
}

// The order of day ('d'), month ('m') and year ('y') in the short date format.
std::string dateOrder() {
    std::string order;
    const AnsiString& format = regional().shortDateFormat;
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c == '\'' || c == '"') {
            size_t close = format.find(c, i + 1);
            if (close == AnsiString::npos)
                break;
            i = close;
            continue;
        }
        char lc = lowerAscii(c);
        if ((lc == 'd' || lc == 'm' || lc == 'y') && order.find(lc) == std::string::npos)
            order += lc;
    }
    for (char c : {'d', 'm', 'y'})
        if (order.find(c) == std::string::npos)
            order += c;
    return order;
}

bool scanDate(Scanner& s, TDateTime& value) {
    const char sep = regional().dateSeparator;
    int numbers[3];
    int digits[3];
    int count = 0;
    s.skipBlanks();
    do {
        if (!s.number(4, numbers[count], digits[count]))
            return false;
        ++count;
    } while (count < 3 && s.take(sep));
    if (count < 2)
        return false;
    std::string order = dateOrder();
    if (count == 2)
        order.erase(order.find('y'), 1);
    int day = 0, month = 0, year = 0;
    bool yearGiven = false;
    for (int i = 0; i < count; ++i) {
        switch (order[static_cast<size_t>(i)]) {
        case 'd':
            day = numbers[i];
            break;
        case 'm':
            month = numbers[i];
            break;
        default:
            year = digits[i] <= 2 ? windowedYear(numbers[i]) : numbers[i];
            yearGiven = true;
            break;
        }
    }
    if (!yearGiven)
        year = currentYear();
    return tryEncodeDate(year, month, day, value);
}

bool scanTime(Scanner& s, TDateTime& value) {
    const char sep = regional().timeSeparator;
    int hour = 0, minute = 0, second = 0, digits = 0;
    s.skipBlanks();
    if (!s.number(2, hour, digits))
        return false;
    if (s.take(sep)) {
        if (!s.number(2, minute, digits))
            return false;
        if (s.take(sep) && !s.number(2, second, digits))
            return false;
    }
    s.skipBlanks();
    std::string_view rest = s.text.substr(s.pos);
    if (rest.size() >= 2 &&
        (ansiSameText(rest.substr(0, 2), "AM") || ansiSameText(rest.substr(0, 2), "PM"))) {
        if (hour < 1 || hour > 12)
            return false;
        bool pm = ansiSameText(rest.substr(0, 2), "PM");
        hour = hour % 12 + (pm ? 12 : 0);
        s.pos += 2;
    }
    return tryEncodeTime(hour, minute, second, 0, value);
}

// Reads the whole text with `scan`, blanks around it allowed; `value` is set only on success.
bool scanWhole(std::string_view text, bool (*scan)(Scanner&, TDateTime&), TDateTime& value) {
    Scanner s{text};
    TDateTime v;
    if (!scan(s, v))
        return false;
    s.skipBlanks();
    if (!s.atEnd())
        return false;
    value = v;
    return true;
}

// Days and a time of day make one value; before 1899-12-30 the time counts away from zero.
TDateTime combine(TDateTime date, TDateTime time) {
    return date < 0 ? date - time : date + time;
}

} // namespace

AnsiString formatDate(TDateTime value) {
    // A value that is no date of the calendar shows as the empty date.
    if (!isValidDateTime(value))
        return AnsiString();
    int year, month, day;
    decodeDate(value, year, month, day);
    const RegionalSettings& rs = regional();
    return expand(rs.shortDateFormat, "dmy", '/', rs.dateSeparator,
                  [&](AnsiString& out, char letter, int run) {
                      if (letter == 'd')
                          appendNumber(out, day, run >= 2 ? 2 : 1);
                      else if (letter == 'm')
                          appendNumber(out, month, run >= 2 ? 2 : 1);
                      else if (run <= 2)
                          appendNumber(out, year % 100, 2);
                      else
                          appendNumber(out, year, 4);
                  });
}

AnsiString formatTime(TDateTime value) {
    if (!std::isfinite(value))
        return AnsiString(); // the empty time
    int hour, minute, second, msec;
    decodeTime(value, hour, minute, second, msec);
    const RegionalSettings& rs = regional();
    return expand(rs.longTimeFormat, "hns", ':', rs.timeSeparator,
                  [&](AnsiString& out, char letter, int run) {
                      int v = letter == 'h' ? hour : (letter == 'n' ? minute : second);
                      appendNumber(out, v, run >= 2 ? 2 : 1);
                  });
}

AnsiString formatDateTime(TDateTime value) {
    // A value that is no moment of the calendar shows as the zero date and time.
    if (!isValidDateTime(value))
        value = 0;
    return formatDate(value) + ' ' + formatTime(value);
}

bool tryParseDate(std::string_view text, TDateTime& value) {
    return scanWhole(text, scanDate, value);
}

bool tryParseTime(std::string_view text, TDateTime& value) {
    return scanWhole(text, scanTime, value);
}

bool tryParseDateTime(std::string_view text, TDateTime& value) {
    Scanner s{text};
    TDateTime date;
    if (!scanDate(s, date))
        return false;
    size_t afterDate = s.pos;
    s.skipBlanks();
    TDateTime time = 0;
    if (!s.atEnd()) {
        if (s.pos == afterDate || !scanTime(s, time))
            return false;
        s.skipBlanks();
        if (!s.atEnd())
            return false;
    }
    value = combine(date, time);
    return true;
}

} // namespace cibrano

#include "platform/RegionalSettings.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>

namespace cibrano {

namespace {
RegionalSettings& current() {
    static RegionalSettings settings;
    return settings;
}

// Turns a strftime date or time pattern into the d/m/y h/n/s letters.
AnsiString fromStrftime(const char* pattern, bool time) {
    AnsiString out;
    for (const char* p = pattern; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        ++p;
        if (*p == 'E' || *p == 'O' || *p == '-')
            ++p;
        switch (*p) {
        case 'd':
            out += "dd";
            break;
        case 'e':
            out += "d";
            break;
        case 'm':
            out += "mm";
            break;
        case 'y':
            out += "yy";
            break;
        case 'Y':
            out += "yyyy";
            break;
        case 'H':
            out += "hh";
            break;
        case 'I':
            out += "hh";
            break;
        case 'M':
            out += "nn";
            break;
        case 'S':
            out += "ss";
            break;
        case 'p':
            break;
        case 'T':
            out += "hh:nn:ss";
            break;
        case 'D':
            out += "mm/dd/yy";
            break;
        case '\0':
            return out;
        default:
            break;
        }
    }
    // Drop blanks left behind by an AM/PM marker.
    while (time && !out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

char firstSeparator(const AnsiString& pattern, const char* letters, char fallback) {
    for (char c : pattern)
        if (!std::strchr(letters, c))
            return c;
    return fallback;
}
} // namespace

const RegionalSettings& regional() {
    return current();
}

void setRegional(const RegionalSettings& settings) {
    current() = settings;
}

RegionalSettings userLocaleSettings() {
    RegionalSettings s;
    const char* saved = std::setlocale(LC_ALL, nullptr);
    std::string restore = saved ? saved : "C";
    if (!std::setlocale(LC_ALL, ""))
        return s;
    const std::lconv* lc = std::localeconv();
    if (lc->decimal_point && lc->decimal_point[0] && !(lc->decimal_point[0] & 0x80))
        s.decimalSeparator = lc->decimal_point[0];
    if (lc->thousands_sep && lc->thousands_sep[0] && !(lc->thousands_sep[0] & 0x80))
        s.thousandSeparator = lc->thousands_sep[0];
    else
        s.thousandSeparator = s.decimalSeparator == ',' ? '.' : ',';
    if (lc->frac_digits >= 0 && lc->frac_digits < 10)
        s.currencyDecimals = lc->frac_digits;
    AnsiString date = fromStrftime(nl_langinfo(D_FMT), false);
    AnsiString time = fromStrftime(nl_langinfo(T_FMT), true);
    if (!date.empty()) {
        s.dateSeparator = firstSeparator(date, "dmy", '/');
        for (char& c : date)
            if (c == s.dateSeparator)
                c = '/';
        s.shortDateFormat = date;
    }
    if (!time.empty()) {
        s.timeSeparator = firstSeparator(time, "hns", ':');
        for (char& c : time)
            if (c == s.timeSeparator)
                c = ':';
        s.longTimeFormat = time;
    }
    std::setlocale(LC_ALL, restore.c_str());
    return s;
}

} // namespace cibrano

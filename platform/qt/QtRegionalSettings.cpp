#include "platform/qt/QtRegionalSettings.h"

#include "platform/qt/QtText.h"

#include <algorithm>
#include <cstring>

namespace cibrano {

namespace {

// One 8-bit separator from a locale's text. The narrow and thin no-break spaces some locales
// group digits with become the no-break space of Windows-1252.
bool separatorFrom(const QString& text, char& out) {
    if (text.size() != 1)
        return false;
    const QChar c = text.at(0);
    if (c == QChar(0x202F) || c == QChar(0x2009)) {
        out = '\xA0';
        return true;
    }
    return ansiCharFromQt(c, out);
}

char firstSeparator(const AnsiString& pattern, const char* letters, char fallback) {
    for (char c : pattern)
        if (!std::strchr(letters, c) && c != '\'' && c != '"')
            return c;
    return fallback;
}

// Puts '/' (dates) or ':' (times) in place of the locale's separator, as the patterns want.
void useSeparatorMark(AnsiString& pattern, char separator, char mark) {
    bool quoted = false;
    for (char& c : pattern) {
        if (c == '\'')
            quoted = !quoted;
        else if (!quoted && c == separator)
            c = mark;
    }
}

// Whether every two numbers of a pattern stand apart: "hnnss" (a locale whose separators
// Windows-1252 cannot hold) could be neither written readably nor read back.
bool numbersStandApart(const AnsiString& pattern, const char* letters) {
    for (size_t i = 0; i + 1 < pattern.size(); ++i)
        if (std::strchr(letters, pattern[i]) && std::strchr(letters, pattern[i + 1]) &&
            pattern[i] != pattern[i + 1])
            return false;
    return true;
}

} // namespace

AnsiString patternFromQt(const QString& qtPattern, bool time) {
    AnsiString out;
    const qsizetype n = qtPattern.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = qtPattern.at(i);
        qsizetype run = 1;
        while (i + run < n && qtPattern.at(i + run) == c)
            ++run;
        const char16_t u = c.unicode();
        if (u == '\'') {
            // A quoted literal, '' standing for one quote.
            qsizetype end = qtPattern.indexOf('\'', i + 1);
            if (end < 0)
                end = n;
            const QString literal = qtPattern.mid(i + 1, end - i - 1);
            if (const auto ansi = fromQt(literal); ansi && !ansi->empty())
                out += "'" + *ansi + "'";
            i = end + 1;
            continue;
        }
        const int count = static_cast<int>(run);
        switch (u) {
        case 'd':
            out.append(std::min(count, 2), 'd');
            break; // day names become numbers
        case 'M':
            out.append(std::min(count, 2), 'm');
            break; // month names become numbers
        case 'y':
            out += count >= 3 ? "yyyy" : "yy";
            break;
        case 'h':
        case 'H':
            out.append(std::min(count, 2), 'h');
            break;
        case 'm':
            out.append(std::min(count, 2), 'n');
            break;
        case 's':
            out.append(std::min(count, 2), 's');
            break;
        case 'z': // milliseconds, AM/PM and time zone: not written by the 8-bit patterns
        case 'a':
        case 'A':
        case 'p':
        case 'P':
        case 't':
            break;
        default: {
            char byte;
            if (ansiCharFromQt(c, byte))
                out.append(static_cast<size_t>(count), byte);
            break;
        }
        }
        i += run;
    }
    // Blanks and separators left behind by a dropped AM/PM marker or time zone.
    while (time && !out.empty() && !std::strchr("hns'", out.back()))
        out.pop_back();
    while (!out.empty() && out.front() == ' ')
        out.erase(out.begin());
    return out;
}

RegionalSettings regionalSettingsFrom(const QLocale& locale) {
    RegionalSettings s;
    char c;
    if (separatorFrom(locale.decimalPoint(), c))
        s.decimalSeparator = c;
    if (separatorFrom(locale.groupSeparator(), c) && c != s.decimalSeparator)
        s.thousandSeparator = c;
    else
        s.thousandSeparator = s.decimalSeparator == ',' ? '.' : ',';

    if (const auto symbol = fromQt(locale.currencySymbol()); symbol && !symbol->empty())
        s.currencySymbol = *symbol;
    // The decimals of the locale's own currency text for 1.
    const QString one = locale.toCurrencyString(1.0);
    const qsizetype point = one.lastIndexOf(locale.decimalPoint());
    if (point >= 0) {
        int digits = 0;
        for (qsizetype i = point + 1; i < one.size() && one.at(i).isDigit(); ++i)
            ++digits;
        s.currencyDecimals = digits;
    } else {
        s.currencyDecimals = 0;
    }

    AnsiString date = patternFromQt(locale.dateFormat(QLocale::ShortFormat), false);
    if (date.find('d') != AnsiString::npos && date.find('m') != AnsiString::npos &&
        numbersStandApart(date, "dmy")) {
        s.dateSeparator = firstSeparator(date, "dmy", '/');
        useSeparatorMark(date, s.dateSeparator, '/');
        // A month written as a name ("d MMM yyyy") becomes a number, which a blank would not
        // set apart clearly from the day and the year.
        if (s.dateSeparator == ' ')
            s.dateSeparator = '/';
        s.shortDateFormat = date;
    }
    AnsiString time = patternFromQt(locale.timeFormat(QLocale::LongFormat), true);
    if (time.find('h') != AnsiString::npos && numbersStandApart(time, "hns")) {
        s.timeSeparator = firstSeparator(time, "hns", ':');
        useSeparatorMark(time, s.timeSeparator, ':');
        s.longTimeFormat = time;
    }
    return s;
}

void installSystemRegionalSettings() {
    setRegional(regionalSettingsFrom(QLocale::system()));
}

} // namespace cibrano

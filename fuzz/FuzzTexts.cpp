// The number pattern target and the float, date and time text input target.

#include "fuzz/FuzzTargets.h"

#include "dataset/NumberFormat.h"
#include "platform/DatabaseError.h"
#include "platform/DateTimeText.h"
#include "platform/RegionalSettings.h"

#include <cmath>
#include <cstring>
#include <string_view>

namespace cibrano::fuzz {

namespace {

// Regional settings chosen by the input for one run, the fixed ones given back afterwards.
class RegionalForRun {
public:
    explicit RegionalForRun(uint8_t choice) : saved_(regional()) {
        RegionalSettings r = saved_;
        static const char* const kDateFormats[] = {"dd/mm/yyyy", "m/d/yyyy", "yyyy/mm/dd",
                                                   "d/m/yy"};
        static const char* const kTimeFormats[] = {"hh:nn:ss", "h:n:s"};
        static const char kDateSeparators[] = {'/', '-', '.', '/'};
        if (choice & 1) {
            r.decimalSeparator = ',';
            r.thousandSeparator = '.';
        } else {
            r.decimalSeparator = '.';
            r.thousandSeparator = ',';
        }
        r.shortDateFormat = kDateFormats[(choice >> 1) & 3];
        r.dateSeparator = kDateSeparators[(choice >> 3) & 3];
        r.longTimeFormat = kTimeFormats[(choice >> 5) & 1];
        r.timeSeparator = (choice & 0x40) ? '.' : ':';
        r.currencySymbol = (choice & 0x80) ? "EUR " : "$";
        setRegional(r);
    }
    ~RegionalForRun() { setRegional(saved_); }
    RegionalForRun(const RegionalForRun&) = delete;
    RegionalForRun& operator=(const RegionalForRun&) = delete;

private:
    RegionalSettings saved_;
};

bool sameDouble(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

// What the general format with 17 digits writes must read back as the same double.
void checkGeneralReadsBack(double value, const char* what) {
    if (!std::isfinite(value))
        return;
    const AnsiString text = formatGeneral(value, 17);
    double back = 0;
    if (!tryParseFloat(text, back) || back != value)
        fuzzFailure(std::string(what) + ": " + text + " does not read back as the same number");
}

} // namespace

int fuzzNumberFormat(const uint8_t* data, size_t size) {
    prepareFuzzEnvironment();
    if (size < 9)
        return 0;
    RegionalForRun settings(data[0]);
    double value;
    std::memcpy(&value, data + 1, sizeof value);
    const std::string_view pattern(reinterpret_cast<const char*>(data + 9), size - 9);

    bool refused = false;
    try {
        formatFloat(pattern, value);
    } catch (const EDatabaseError&) {
        refused = true;
    }
    if (refused != (pattern.size() > kMaxFormatPatternLength))
        fuzzFailure(refused ? "a pattern of allowed length is refused" : "a long pattern is taken");

    const int digits = data[0] % 21; // beyond 2..18 and 0..18 on purpose: they are held within
    formatGeneral(value, digits);
    formatCurrency(value, digits);
    const AnsiString fixed = formatFixed(value, digits);
    checkGeneralReadsBack(value, "general format");

    // A fixed text of a moderate number reads back within half its last decimal.
    if (std::isfinite(value) && std::fabs(value) < 1e15) {
        double back = 0;
        const int decimals = std::min(digits, 18);
        const double tolerance = 0.5 * std::pow(10.0, -decimals) + std::fabs(value) * 1e-15;
        if (!tryParseFloat(fixed, back) || std::fabs(back - value) > tolerance * (1 + 1e-9))
            fuzzFailure("fixed format " + fixed + " is not the number");
    }
    return 0;
}

int fuzzTextInput(const uint8_t* data, size_t size) {
    prepareFuzzEnvironment();
    if (size < 1)
        return 0;
    RegionalForRun settings(data[0]);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const bool fourDigitYears = regional().shortDateFormat.find("yyyy") != AnsiString::npos;

    double number = 0;
    if (tryParseFloat(text, number)) {
        if (!std::isfinite(number))
            fuzzFailure("a float text reads as a number that is not finite");
        checkGeneralReadsBack(number, "float input");
    }

    TDateTime date = 0;
    if (tryParseDate(text, date)) {
        if (date != std::floor(date))
            fuzzFailure("a date text reads with a time of day");
        TDateTime back = 0;
        const AnsiString shown = formatDate(date);
        if (!tryParseDate(shown, back) || (fourDigitYears && back != date) ||
            formatDate(back) != shown)
            fuzzFailure("the date " + shown + " does not read back");
    }

    TDateTime time = 0;
    if (tryParseTime(text, time)) {
        if (!(time >= 0 && time < 1))
            fuzzFailure("a time text reads outside one day");
        TDateTime back = 0;
        const AnsiString shown = formatTime(time);
        if (!tryParseTime(shown, back) || !sameDouble(back, time))
            fuzzFailure("the time " + shown + " does not read back");
    }

    TDateTime moment = 0;
    if (tryParseDateTime(text, moment)) {
        TDateTime back = 0;
        const AnsiString shown = formatDateTime(moment);
        if (!tryParseDateTime(shown, back) || (fourDigitYears && !sameDouble(back, moment)) ||
            formatDateTime(back) != shown)
            fuzzFailure("the date and time " + shown + " do not read back");
    }
    return 0;
}

} // namespace cibrano::fuzz

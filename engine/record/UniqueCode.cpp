#include "engine/record/UniqueCode.h"

#include "platform/Clock.h"
#include "platform/DateTime.h"

#include <cmath>
#include <mutex>

namespace cibrano {

namespace {

constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr long long kBase = 62;
constexpr long long kTwoDigitSpan = kBase * kBase;           // 3,844
constexpr long long kThreeDigitSpan = kBase * kBase * kBase; // 238,328

struct Sequence {
    std::mutex lock;
    bool started = false;
    long long value = 0;
};

Sequence& sequence() {
    static Sequence s;
    return s;
}

// Writes `value` as `width` base-62 digits, most significant first. The value is reduced
// modulo the span of those digits first, so that it always fits (a clock before 2000-11-01
// or far in the future must still give a well-formed code).
void appendDigits(AnsiString& out, long long value, int width) {
    long long span = width == 2 ? kTwoDigitSpan : kThreeDigitSpan;
    value %= span;
    if (value < 0)
        value += span;
    char buffer[3];
    for (int i = width - 1; i >= 0; --i) {
        buffer[i] = kDigits[value % kBase];
        value /= kBase;
    }
    out.append(buffer, static_cast<size_t>(width));
}

} // namespace

AnsiString makeUniqueCode() {
    TDateTime current = now();
    int hour, minute, second, msec;
    decodeTime(current, hour, minute, second, msec);

    long long number;
    {
        Sequence& s = sequence();
        std::lock_guard<std::mutex> guard(s.lock);
        if (!s.started) {
            s.started = true;
            s.value = hour * 60 + minute;
        } else if (++s.value >= kTwoDigitSpan) {
            s.value = 0;
        }
        number = s.value;
    }

    TDateTime epoch = 0;
    tryEncodeDate(2000, 11, 1, epoch);
    long long days = static_cast<long long>(std::trunc(current)) - static_cast<long long>(epoch);

    AnsiString code;
    code.reserve(8);
    appendDigits(code, days * 24 + hour, 3);
    appendDigits(code, minute * 60 + second, 2);
    appendDigits(code, (msec / 10) * kTwoDigitSpan / 2 + number, 3);
    return code;
}

void restartUniqueCodeSequence() {
    Sequence& s = sequence();
    std::lock_guard<std::mutex> guard(s.lock);
    s.started = false;
    s.value = 0;
}

} // namespace cibrano

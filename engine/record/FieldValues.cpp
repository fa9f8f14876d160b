#include "engine/record/FieldValues.h"

#include "dataset/NumberFormat.h"
#include "engine/record/ValueConst.h"
#include "platform/AnsiCase.h"
#include "platform/DateTime.h"
#include "platform/DateTimeText.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace cibrano {

// The whole text as a decimal integer within low..high: optional leading blanks, an optional
// sign, digits, nothing after them.
bool tryParseIntegerIn(std::string_view text, long long low, long long high, long long& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    long long n = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        n = n * 10 + (text[i] - '0');
        if (n > high + 1)
            return false;
    }
    if (negative)
        n = -n;
    if (n < low || n > high)
        return false;
    value = n;
    return true;
}

namespace {

constexpr const char* kFloatPattern = "0.######";
constexpr int32_t kMaxBlobLength = 0x3FFFFFFF;

template <typename T> int compareNumbers(T a, T b) {
    return (a > b) - (a < b);
}

// A fixed-length text slot normally ends with its NUL, but a damaged record can
// fill all of it, so its length is never looked for past the slot.
size_t fixedTextLength(const uint8_t* slot, const TZerovField& f) {
    return strnlen(reinterpret_cast<const char*>(slot), f.dataSize);
}

// A memo block read from a file has exactly its stored length and no
// terminator; its text ends at the first NUL within that length.
size_t memoTextLength(const uint8_t* block, int32_t length) {
    return length > 0 ? strnlen(reinterpret_cast<const char*>(block), static_cast<size_t>(length))
                      : 0;
}

int compareSpans(const char* a, size_t lengthA, const char* b, size_t lengthB,
                 bool caseInsensitive) {
    if (lengthA != 0 && lengthB != 0) {
        size_t common = std::min(lengthA, lengthB);
        int r = caseInsensitive ? ansiCompareTextPrefix(a, b, common) : std::memcmp(a, b, common);
        if (r != 0)
            return r;
    }
    long long difference = static_cast<long long>(lengthA) - static_cast<long long>(lengthB);
    return static_cast<int>(std::clamp<long long>(difference, INT_MIN, INT_MAX));
}

bool tryParseInteger(std::string_view text, int32_t& value) {
    long long n = 0;
    if (!tryParseIntegerIn(text, INT32_MIN, INT32_MAX, n))
        return false;
    value = static_cast<int32_t>(n);
    return true;
}

bool isTrueText(std::string_view text) {
    AnsiString up = ansiUpperCase(text);
    return up == "TRUE" || up == "\xC4\xC0" || up == "YES" || up == "T" || up == "1";
}

int32_t millisecondsOfDay(TDateTime value) {
    double fraction = std::fabs(value - std::trunc(value));
    return static_cast<int32_t>(std::llround(fraction * kMSecsPerDay));
}

// How many characters of `text` a field holding at most `limit` of them keeps.
size_t keptLength(std::string_view text, long long limit) {
    if (limit <= 0)
        return 0;
    return std::min(text.size(), static_cast<size_t>(limit));
}

} // namespace

AnsiString bufferValueAsText(const uint8_t* buffer, const TZerovField& f) {
    if (!buffer)
        return msg::NotFoundText;
    const uint8_t* slot = slotOf(buffer, f);
    switch (f.storageKind) {
    case kindSmallint:
        return std::to_string(readSlot<int16_t>(slot));
    case kindInteger:
    case kindAutoInc:
        return std::to_string(readSlot<int32_t>(slot));
    case kindBoolean:
        return readSlot<int16_t>(slot) != 0 ? "Yes" : "No";
    case kindFloat:
    case kindCurrency:
        return formatFloat(kFloatPattern, readSlot<double>(slot));
    case kindDate: {
        // A day outside the calendar (0 and below included) shows as the empty date.
        TDateTime date;
        return dateFromDayNumber(readSlot<int32_t>(slot), date) ? formatDate(date) : AnsiString();
    }
    case kindTime: {
        // Midnight is stored as 0, the empty time, and so shows empty too; so do
        // milliseconds outside the day.
        const int32_t ms = readSlot<int32_t>(slot);
        TDateTime time;
        return ms > 0 && timeFromMilliseconds(ms, time) ? formatTime(time) : AnsiString();
    }
    case kindDateTime: {
        // A value that names no valid moment gives 0, the zero date and time.
        TDateTime moment;
        dateTimeFromMilliseconds(readSlot<double>(slot), moment);
        return formatDateTime(moment);
    }
    case kindFixedText:
        return AnsiString(reinterpret_cast<const char*>(slot), fixedTextLength(slot, f));
    case kindText: {
        const char* p = textRefAt(slot);
        return p ? AnsiString(p) : AnsiString();
    }
    case kindMemo:
    case kindFmtMemo: {
        const uint8_t* p = blobRefAt(slot);
        int32_t n = blobLengthAt(slot);
        return p && n > 0 ? AnsiString(reinterpret_cast<const char*>(p), static_cast<size_t>(n))
                          : AnsiString();
    }
    default:
        return msg::NotFoundText;
    }
}

AnsiString fieldValueAsText(const TZerovField& f, const RecordEntry& e, bool oldValue) {
    return bufferValueAsText(oldValue && e.backup ? e.backup : e.data, f);
}

void fieldValueFromText(uint8_t* slot, std::string_view text, const TZerovField& f) {
    // Every kind that refers to memory outside the buffer gives it back, BLOBs
    // included, so that overwriting a slot never leaks what it held.
    releaseSlotValue(slot, f);
    std::memset(slot, 0, f.dataSize);
    if (text.empty())
        return;

    switch (f.storageKind) {
    case kindSmallint: {
        int32_t v;
        if (tryParseInteger(text, v))
            writeSlot(slot, static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)));
        break;
    }
    case kindInteger:
    case kindAutoInc: {
        int32_t v;
        if (tryParseInteger(text, v))
            writeSlot(slot, v);
        break;
    }
    case kindBoolean:
        writeSlot(slot, static_cast<int16_t>(isTrueText(text) ? -1 : 0));
        break;
    case kindFloat:
    case kindCurrency: {
        double v;
        if (tryParseFloat(text, v))
            writeSlot(slot, v);
        break;
    }
    case kindDate: {
        TDateTime v;
        if (tryParseDate(text, v))
            writeSlot(slot, static_cast<int32_t>(std::trunc(v)) + kDateDelta);
        break;
    }
    case kindTime: {
        TDateTime v;
        if (tryParseTime(text, v))
            writeSlot(slot, millisecondsOfDay(v));
        break;
    }
    case kindDateTime: {
        TDateTime v;
        if (tryParseDateTime(text, v)) {
            double day = std::trunc(v) + kDateDelta;
            writeSlot(slot, day * kMSecsPerDay + millisecondsOfDay(v));
        }
        break;
    }
    case kindFixedText: {
        // The terminator needs the slot's last byte, whatever the declared size
        // says.
        size_t n = keptLength(text, std::min<long long>(f.declaredSize, f.dataSize - 1LL));
        std::memcpy(slot, text.data(), n);
        break;
    }
    case kindText: {
        size_t n = keptLength(text, f.declaredSize);
        if (n == 0)
            break; // no reference: the empty text
        char* p = new char[n + 1];
        std::memcpy(p, text.data(), n);
        p[n] = '\0';
        setTextRef(slot, p);
        break;
    }
    case kindMemo:
    case kindFmtMemo: {
        // A memo has no declared size in the description section (it reads as 0);
        // then the whole text is kept, up to the largest block a table file can
        // hold.
        size_t n = keptLength(text, f.declaredSize > 0 ? f.declaredSize : kMaxBlobLength);
        auto* p = new uint8_t[n + 1];
        std::memcpy(p, text.data(), n);
        p[n] = 0;
        setBlobRef(slot, p, static_cast<int32_t>(n));
        break;
    }
    default:
        break; // binary BLOBs and unknown kinds have no text form
    }
}

int compareTexts(const char* a, const char* b, bool caseInsensitive) {
    return compareSpans(a, std::strlen(a), b, std::strlen(b), caseInsensitive);
}

int compareFieldValues(const uint8_t* slotA, const uint8_t* slotB, const TZerovField& f,
                       bool caseInsensitive) {
    switch (f.storageKind) {
    case kindSmallint:
        return readSlot<int16_t>(slotA) - readSlot<int16_t>(slotB);
    case kindInteger:
    case kindDate:
    case kindTime:
    case kindAutoInc:
        // Compared, not subtracted: a difference of values of opposite sign can
        // overflow.
        return compareNumbers(readSlot<int32_t>(slotA), readSlot<int32_t>(slotB));
    case kindBoolean: {
        bool a = readSlot<int16_t>(slotA) != 0;
        bool b = readSlot<int16_t>(slotB) != 0;
        return a == b ? 0 : (a ? -1 : 1); // true sorts first
    }
    case kindFloat:
    case kindCurrency:
    case kindDateTime:
        return compareNumbers(readSlot<double>(slotA), readSlot<double>(slotB));
    case kindFixedText:
        return compareSpans(reinterpret_cast<const char*>(slotA), fixedTextLength(slotA, f),
                            reinterpret_cast<const char*>(slotB), fixedTextLength(slotB, f),
                            caseInsensitive);
    case kindText: {
        const char* a = textRefAt(slotA);
        const char* b = textRefAt(slotB);
        if (a && b)
            return compareTexts(a, b, caseInsensitive);
        return a ? 1 : (b ? -1 : 0); // a missing text sorts first
    }
    case kindMemo:
    case kindFmtMemo: {
        const uint8_t* a = blobRefAt(slotA);
        const uint8_t* b = blobRefAt(slotB);
        if (a && b)
            return compareSpans(reinterpret_cast<const char*>(a),
                                memoTextLength(a, blobLengthAt(slotA)),
                                reinterpret_cast<const char*>(b),
                                memoTextLength(b, blobLengthAt(slotB)), caseInsensitive);
        return a ? 1 : (b ? -1 : 0);
    }
    default:
        return 0; // binary BLOBs and unknown kinds are never ordered
    }
}

int compareRecordKeys(const uint8_t* bufferA, const uint8_t* bufferB, const ZerovFieldList& fields,
                      int count, bool caseInsensitive) {
    size_t n = count < 0 ? fields.size() : std::min(fields.size(), static_cast<size_t>(count));
    for (size_t i = 0; i < n; ++i) {
        const TZerovField& f = *fields[i];
        int r = compareFieldValues(slotOf(bufferA, f), slotOf(bufferB, f), f, caseInsensitive);
        if (r != 0)
            return r;
    }
    return 0;
}

} // namespace cibrano

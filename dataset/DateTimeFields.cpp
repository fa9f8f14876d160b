#include "dataset/DateTimeFields.h"

#include "dataset/DbConsts.h"
#include "dataset/NumberFormat.h"
#include "platform/DatabaseError.h"
#include "platform/DateTimeText.h"
#include "platform/Format.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace cibrano {

namespace {

constexpr double kMSecsPerDayF = kMSecsPerDay;
// Day numbers of 0001-01-01 and 9999-12-31.
constexpr int64_t kFirstDay = 1;
constexpr int64_t kLastDay = 3652059;

// A TDateTime split into a day number (0001-01-01 = 1) and milliseconds of the day; false
// for values outside the years 1 to 9999.
bool splitDateTime(TDateTime value, int32_t& day, int32_t& msec) {
    if (!std::isfinite(value))
        return false;
    double whole = std::trunc(value);
    double ms = std::round(std::fabs(value - whole) * kMSecsPerDayF);
    if (ms >= kMSecsPerDayF) {
        ms -= kMSecsPerDayF;
        whole += value < 0 ? -1 : 1;
    }
    double d = whole + kDateDelta;
    if (d < kFirstDay || d > kLastDay)
        return false;
    day = static_cast<int32_t>(d);
    msec = static_cast<int32_t>(ms);
    return true;
}

TDateTime joinDateTime(double day, double msec) {
    double date = day - kDateDelta;
    return date < 0 ? date - msec / kMSecsPerDayF : date + msec / kMSecsPerDayF;
}

const char* invalidMessage(TFieldType type) {
    switch (type) {
    case ftDate:
        return dbconsts::kInvalidDate;
    case ftTime:
        return dbconsts::kInvalidTime;
    default:
        return dbconsts::kInvalidDateTime;
    }
}

} // namespace

TDateTimeField::TDateTimeField(TComponent* owner) : TDateTimeField(owner, ftDateTime) {}

TDateTimeField::TDateTimeField(TComponent* owner, TFieldType type) : TField(owner) {
    setDataType(type);
}

TDateField::TDateField(TComponent* owner) : TDateTimeField(owner, ftDate) {}

TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner, ftTime) {}

int TDateTimeField::dataSize() const {
    return DataType() == ftDateTime ? 8 : 4;
}

void TDateTimeField::setDisplayFormat(const AnsiString& pattern) {
    changeProperty(displayFormat_, pattern, false);
}

TDateTime TDateTimeField::dateTimeValue() const {
    unsigned char raw[8] = {};
    if (!readRaw(raw))
        return 0;
    switch (DataType()) {
    case ftDate: {
        int32_t day;
        std::memcpy(&day, raw, sizeof day);
        return joinDateTime(day, 0);
    }
    case ftTime: {
        int32_t ms;
        std::memcpy(&ms, raw, sizeof ms);
        return ms / kMSecsPerDayF;
    }
    default: {
        // Read as the stored form is read everywhere: 0 when it names no valid moment.
        double total;
        std::memcpy(&total, raw, sizeof total);
        TDateTime moment;
        dateTimeFromMilliseconds(total, moment);
        return moment;
    }
    }
}

void TDateTimeField::setDateTimeValue(TDateTime value) {
    int32_t day = 0, ms = 0;
    if (!splitDateTime(value, day, ms))
        databaseError(formatText(invalidMessage(DataType()), formatGeneral(value, 15)));
    unsigned char raw[8] = {};
    switch (DataType()) {
    case ftDate:
        std::memcpy(raw, &day, sizeof day);
        break;
    case ftTime:
        std::memcpy(raw, &ms, sizeof ms);
        break;
    default: {
        double total = static_cast<double>(day) * kMSecsPerDayF + ms;
        std::memcpy(raw, &total, sizeof total);
        break;
    }
    }
    writeRaw(raw);
}

void TDateTimeField::setStringValue(const AnsiString& text) {
    if (text.empty()) {
        clearValue();
        return;
    }
    TDateTime v = 0;
    bool ok = DataType() == ftDate   ? tryParseDate(text, v)
              : DataType() == ftTime ? tryParseTime(text, v)
                                     : tryParseDateTime(text, v);
    if (!ok)
        databaseError(formatText(invalidMessage(DataType()), text));
    setDateTimeValue(v);
}

AnsiString TDateTimeField::textOf(bool) const {
    if (isNull())
        return AnsiString();
    TDateTime v = dateTimeValue();
    switch (DataType()) {
    case ftDate:
        return formatDate(v);
    case ftTime:
        // Stored milliseconds outside the day are no time: shown empty, as the engine does.
        return v >= 0 && v < 1 ? formatTime(v) : AnsiString();
    default:
        return formatDateTime(v);
    }
}

} // namespace cibrano

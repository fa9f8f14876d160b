#pragma once
// The date and time fields. Their raw values are those of the table engine's slots:
// TDateTimeField an 8-byte double of milliseconds counted from 0001-01-01 (day 1),
// TDateField a 4-byte day number, TTimeField 4-byte milliseconds of the day. Values are
// TDateTime (days since 1899-12-30, time as the fraction); texts use the regional short date
// and long time formats.

#include "dataset/Field.h"

namespace cibrano {

class TDateTimeField : public TField {
public:
    explicit TDateTimeField(TComponent* owner = nullptr);

    int dataSize() const override;
    // Kept with the field; texts always follow the regional formats.
    const AnsiString& DisplayFormat() const { return displayFormat_; }
    void setDisplayFormat(const AnsiString& pattern);

    // 0 for null.
    TDateTime dateTimeValue() const override;
    void setDateTimeValue(TDateTime value) override;
    double floatValue() const override { return dateTimeValue(); }
    void setFloatValue(double value) override { setDateTimeValue(value); }
    AnsiString stringValue() const override { return textOf(false); }
    // Empty text stores null; other text must read as a date, a time or both.
    void setStringValue(const AnsiString& text) override;

protected:
    TDateTimeField(TComponent* owner, TFieldType type);
    AnsiString textOf(bool displayText) const override;
    int defaultWidth() const override { return 18; }

private:
    AnsiString displayFormat_;
};

class TDateField : public TDateTimeField {
public:
    explicit TDateField(TComponent* owner = nullptr);

protected:
    int defaultWidth() const override { return 10; }
};

class TTimeField : public TDateTimeField {
public:
    explicit TTimeField(TComponent* owner = nullptr);

protected:
    int defaultWidth() const override { return 8; }
};

} // namespace cibrano

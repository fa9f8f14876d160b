#pragma once
// Helpers the engine's dataset-level tests share: fixed regional settings, and the values of a
// field over a whole dataset.

#include "dataset/DataSet.h"
#include "dataset/Field.h"
#include "platform/RegionalSettings.h"

#include <vector>

namespace cibrano::testing {

// Number, date and time texts as the tests write them, whatever the machine's locale: "." as
// decimal and "," as thousands separator, dates dd/mm/yyyy, times hh:nn:ss. The settings found
// are given back when it goes, including after a test that changed them further.
class FixedRegionalSettings {
public:
    FixedRegionalSettings() : saved_(regional()) {
        RegionalSettings r;
        r.decimalSeparator = '.';
        r.thousandSeparator = ',';
        r.dateSeparator = '/';
        r.timeSeparator = ':';
        r.shortDateFormat = "dd/mm/yyyy";
        r.longTimeFormat = "hh:nn:ss";
        setRegional(r);
    }
    ~FixedRegionalSettings() { setRegional(saved_); }
    FixedRegionalSettings(const FixedRegionalSettings&) = delete;
    FixedRegionalSettings& operator=(const FixedRegionalSettings&) = delete;

private:
    RegionalSettings saved_;
};

// The display texts of a field over the whole dataset, from its first record.
inline std::vector<AnsiString> column(TDataSet& ds, const char* field) {
    std::vector<AnsiString> values;
    for (ds.moveFirst(); !ds.atEnd(); ds.moveNext())
        values.push_back(ds.fieldByName(field)->stringValue());
    return values;
}

} // namespace cibrano::testing

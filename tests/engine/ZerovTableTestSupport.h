#pragma once
// Helpers for the table component tests: a temporary folder holding copies of the golden
// tables, fixed regional settings, a scripted user interface, and a session that remembers no
// password from an earlier test.

#include "dataset/Field.h"
#include "engine/ZerovDatabase.h"
#include "engine/ZerovSession.h"
#include "engine/ZerovTable.h"
#include "platform/Files.h"
#include "platform/RegionalSettings.h"
#include "platform/ScriptedUi.h"
#include "tests/engine/TableImageTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cibrano::testing {

inline constexpr const char* kFoodPassword = "QUARZOFELCEBRUM";

class ZerovTableFixture : public ::testing::Test {
protected:
    ZerovTableFixture() {
        saved_ = regional();
        RegionalSettings r;
        r.decimalSeparator = '.';
        r.thousandSeparator = ',';
        r.shortDateFormat = "dd/mm/yyyy";
        r.longTimeFormat = "hh:nn:ss";
        setRegional(r);
        forgetPasswords();
    }
    ~ZerovTableFixture() override {
        forgetPasswords();
        setRegional(saved_);
    }

    static void forgetPasswords() {
        for (const AnsiString& p : std::vector<AnsiString>(session().rememberedPasswords()))
            session().forgetPassword(p);
    }

    // A copy of a golden table in the temporary folder; answers its path.
    std::string copyGolden(const char* golden, const std::string& name) {
        writeFileAtomically(dir.file(name), goldenBytes(golden));
        return dir.file(name);
    }

    // The values of a field over the whole table, from the first record.
    static std::vector<AnsiString> column(TDataSet& ds, const char* field) {
        std::vector<AnsiString> values;
        for (ds.moveFirst(); !ds.atEnd(); ds.moveNext())
            values.push_back(ds.fieldByName(field)->stringValue());
        return values;
    }

    static void setValue(TDataSet& ds, const char* field, const AnsiString& text) {
        ds.beginEdit();
        ds.fieldByName(field)->setStringValue(text);
        ds.postRecord();
    }

    ScriptedUi ui;
    TempDir dir;

private:
    RegionalSettings saved_;
};

} // namespace cibrano::testing

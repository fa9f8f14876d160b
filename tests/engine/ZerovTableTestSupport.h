#pragma once
// Helpers for the table component tests: a temporary folder holding copies of the golden
// tables, fixed regional settings, a scripted user interface, and a session that remembers no
// password from an earlier test.

#include "dataset/Field.h"
#include "engine/file/ZerovSession.h"
#include "engine/table/ZerovDatabase.h"
#include "engine/table/ZerovTable.h"
#include "platform/Files.h"
#include "platform/ScriptedUi.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/engine/TableImageTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cibrano::testing {

inline constexpr const char* kFoodPassword = "QUARZOFELCEBRUM";

class ZerovTableFixture : public ::testing::Test {
protected:
    ZerovTableFixture() { forgetPasswords(); }
    ~ZerovTableFixture() override { forgetPasswords(); }

    static void forgetPasswords() {
        for (const AnsiString& p : std::vector<AnsiString>(session().rememberedPasswords()))
            session().forgetPassword(p);
    }

    // A copy of a golden table in the temporary folder; answers its path.
    std::string copyGolden(const char* golden, const std::string& name) {
        writeFileAtomically(dir.file(name), goldenBytes(golden));
        return dir.file(name);
    }

    static void setValue(TDataSet& ds, const char* field, const AnsiString& text) {
        ds.beginEdit();
        ds.fieldByName(field)->setStringValue(text);
        ds.postRecord();
    }

    FixedRegionalSettings regionalSettings;
    ScriptedUi ui;
    TempDir dir;
};

} // namespace cibrano::testing

#pragma once
// Helpers for the recipe calculator tests: a temporary working folder holding the food table,
// fixed regional settings, a scripted user interface, a session that remembers no password
// from an earlier test, and the totals texts the calculator showed.

#include "recipe/RecipeCalculator.h"
#include "tests/engine/ZerovTableTestSupport.h"
#include "tests/platform/ErrorMessage.h"

#include "dataset/DataSource.h"
#include "platform/DatabaseError.h"
#include "platform/Timer.h"

#include <gmock/gmock.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace cibrano::testing {

// One row of the food table as texts: Gruppo, Nome, Quantita, Kcalorie, Glucidi, Lipidi,
// Proteine ("" leaves a value empty).
using FoodRow = std::array<const char*, 7>;

// The fields of the bundled sample food table, in its order.
inline const std::vector<FieldDescription>& sampleFoodFields() {
    static const std::vector<FieldDescription> fields = {
        {"Gruppo", ftString, 30}, {"Nome", ftString, 50},     {"Quantita", ftFloat, 0},
        {"Kcalorie", ftFloat, 0}, {"Glucidi", ftFloat, 0},    {"Lipidi", ftFloat, 0},
        {"Proteine", ftFloat, 0}, {"Kjoule", ftFloat, 0},     {"Zuccheri", ftFloat, 0},
        {"Saturi", ftFloat, 0},   {"Fibre", ftFloat, 0},      {"Sale", ftFloat, 0},
        {"Fonte", ftString, 30},  {"Mancanti", ftString, 100}};
    return fields;
}

inline const char* const kFoodFieldNames[] = {"Gruppo",  "Nome",   "Quantita", "Kcalorie",
                                              "Glucidi", "Lipidi", "Proteine"};

// Replaces the rows of the food table at `path` with `rows` and saves it enciphered with
// `password`, which the session then forgets.
inline void fillFoodTable(const std::string& path, const std::vector<FoodRow>& rows,
                          const char* password) {
    {
        TZerovTable t;
        t.setTableName(path);
        t.open();
        while (!t.hasNoRecords())
            t.deleteRecord();
        for (const FoodRow& row : rows) {
            t.beginAppend();
            for (size_t i = 0; i < row.size(); ++i)
                t.fieldByName(kFoodFieldNames[i])->setStringValue(row[i]);
            t.postRecord();
        }
        t.setPassword(password);
        t.saveChanges();
    }
    session().forgetPassword(password);
}

// The four texts of a label set in label order t1..t4.
inline std::vector<AnsiString> labelTexts(const TotalsLabelSet& labels) {
    return {labels.t1, labels.t2, labels.t3, labels.t4};
}

class RecipeFixture : public ZerovTableFixture {
protected:
    RecipeFixture() : previousFolder_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir.path);
        calc.OnShowTotals = [this](const TotalsLabelSet& labels) { shown.push_back(labels); };
    }
    ~RecipeFixture() override { std::filesystem::current_path(previousFolder_); }

    std::string tablePath() const { return dir.file("alimenti.d"); }
    std::string tableBytes() const { return readWholeFile(tablePath()).value_or(""); }

    // The five foods of the test vectors, enciphered with the program's password.
    void useFoodTable() { copyGolden("food-enciphered.d", "alimenti.d"); }

    // A food table with just these rows, enciphered with `password`; the session forgets the
    // password afterwards, so that only the calculator's own one or a prompt can open it.
    void writeFoodTable(const std::vector<FoodRow>& rows, const char* password = kFoodPassword) {
        copyGolden("food-plain.d", "alimenti.d");
        fillFoodTable(tablePath(), rows, password);
    }

    // Makes the food table's row with that name current.
    void goTo(const char* nome) {
        TZerovTable& t = *calc.Table1;
        for (t.moveFirst(); !t.atEnd(); t.moveNext())
            if (calc.Table1Nome->stringValue() == nome)
                return;
        ADD_FAILURE() << "no row " << nome;
    }

    // Types a quantity into a row of the food table and posts it, as the grid does.
    void setQuantity(const char* nome, const char* text) {
        goTo(nome);
        calc.Table1->beginEdit();
        calc.Table1Quantita->setStringValue(text);
        calc.Table1->postRecord();
    }

    std::vector<AnsiString> lastShown() const {
        return shown.empty() ? std::vector<AnsiString>{} : labelTexts(shown.back());
    }

    RecipeCalculator calc;
    std::vector<TotalsLabelSet> shown;

private:
    std::filesystem::path previousFolder_;
};

} // namespace cibrano::testing

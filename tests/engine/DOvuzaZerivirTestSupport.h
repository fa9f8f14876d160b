#pragma once
// A table dataset for tests: its records come from a table image held in memory (a golden
// file or a new table made from field descriptions), and saving writes the store's image back
// into memory. Regional settings are fixed while a fixture lives.

#include "dataset/DataSource.h"
#include "dataset/Field.h"
#include "dataset/FloatField.h"
#include "engine/file/FieldDescriptions.h"
#include "engine/record/FieldValues.h"
#include "engine/table/DOvuzaZerivir.h"
#include "platform/RegionalSettings.h"
#include "platform/ScriptedUi.h"
#include "platform/Stream.h"
#include "tests/engine/TableImageTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cibrano::testing {

class TImageTable : public DOvuzaZerivir {
public:
    explicit TImageTable(TComponent* owner = nullptr) : DOvuzaZerivir(owner) {}
    ~TImageTable() override {
        destroying();
        setActive(false);
    }

    // The image the next load reads; when empty, a new table made from `descriptions`.
    std::string image;
    std::vector<FieldDescription> descriptions;
    // The images saveStore wrote, in order.
    std::vector<std::string> saved;
    int loads = 0;

    using DOvuzaZerivir::bufferLayout;
    using DOvuzaZerivir::setCheckKeyViolation;
    using DOvuzaZerivir::setPasswordText;
    using DOvuzaZerivir::trailerOffset;

    // The stored value of a field in the record at a view position, as its display text.
    AnsiString storedText(int position, const char* field) const {
        return fieldValueAsText(*store()->findField(field),
                                *recordView().at(static_cast<size_t>(position)));
    }

protected:
    void loadStore() override {
        ++loads;
        std::string bytes = image;
        if (bytes.empty()) {
            TMemoryStream s;
            writeNewTableImage(s, descriptions);
            bytes = std::string(s.bytes());
        }
        TMemoryStream stream(bytes);
        loadFromStream(stream, false);
    }
    void saveStore() override {
        if (changeCount() <= 0)
            return;
        TMemoryStream out;
        store()->writeTableImage(out);
        saved.emplace_back(out.bytes());
    }
};

// A table image with the given fields and rows (values as texts, "" for empty).
inline std::string tableImage(const std::vector<FieldDescription>& fields,
                              const std::vector<std::vector<std::string>>& rows) {
    TZerovCursor store;
    openNewTable(store, fields);
    AnsiString message;
    for (const auto& row : rows) {
        Buffer b(store);
        for (size_t i = 0; i < row.size(); ++i) {
            const TZerovField& f = *store.fieldAt(static_cast<int>(i));
            fieldValueFromText(slotOf(b.get(), f), row[i], f);
        }
        EXPECT_TRUE(store.putRecord(b.get(), nullptr, message));
    }
    return writeImage(store);
}

// Regional settings with a point as decimal separator, and a scripted user interface.
class TableFixture : public ::testing::Test {
protected:
    TableFixture() {
        saved_ = regional();
        RegionalSettings r;
        r.decimalSeparator = '.';
        r.thousandSeparator = ',';
        r.shortDateFormat = "dd/mm/yyyy";
        r.longTimeFormat = "hh:nn:ss";
        setRegional(r);
    }
    ~TableFixture() override { setRegional(saved_); }

    // The golden food table, open.
    void openFood(TImageTable& t) {
        t.image = goldenBytes("food-plain.d");
        t.open();
    }

    static std::vector<AnsiString> column(TDataSet& ds, const char* field) {
        std::vector<AnsiString> values;
        ds.moveFirst();
        while (!ds.atEnd()) {
            values.push_back(ds.fieldByName(field)->stringValue());
            ds.moveNext();
        }
        return values;
    }

    ScriptedUi ui;

private:
    RegionalSettings saved_;
};

} // namespace cibrano::testing

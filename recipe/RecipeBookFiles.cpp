// The recipe book's files: the fields of new files, opening a file or its empty table, making
// the files at the first change, and writing both after each change, undone when a write fails.

#include "recipe/RecipeBook.h"

#include "dataset/FieldDefs.h"
#include "engine/ZerovConst.h"
#include "platform/DatabaseError.h"
#include "platform/FileNameText.h"
#include "platform/Files.h"
#include "platform/Format.h"
#include "recipe/MissingValues.h"
#include "recipe/RecipeBookGuards.h"
#include "recipe/RecipeBookMessages.h"

#include <algorithm>

namespace cibrano {

using bookguards::FieldsWritable;
using bookguards::OwnChange;

namespace {

const std::vector<FieldDescription>& recipeFields() {
    static const std::vector<FieldDescription> fields = {
        {"Codice", ftAutoInc, 0}, {"Nome", ftString, 50},        {"Porzioni", ftInteger, 0},
        {"Note", ftMemo, 0},      {"Modificata", ftDateTime, 0}, {"PesoFinale", ftFloat, 0}};
    return fields;
}

const std::vector<FieldDescription>& lineFields() {
    static const std::vector<FieldDescription> fields = [] {
        std::vector<FieldDescription> f = {{"Ricetta", ftInteger, 0},
                                           {"Gruppo", ftString, 30},
                                           {"Nome", ftString, 50},
                                           {"Quantita", ftFloat, 0}};
        for (const Nutrient& n : kNutrients)
            f.push_back({n.field, ftFloat, 0});
        f.push_back({MissingValues::kFieldName, ftString, MissingValues::kFieldSize});
        return f;
    }();
    return fields;
}

} // namespace

std::vector<AddedField> RecipeBook::addedRecipeFields() {
    return {{{"PesoFinale", ftFloat, 0}, {}}};
}

std::vector<AddedField> RecipeBook::addedLineFields() {
    std::vector<AddedField> added;
    for (const Nutrient& n : kNutrients)
        if (n.optional)
            added.push_back({{n.field, ftFloat, 0}, {}});
    added.push_back({{MissingValues::kFieldName, ftString, MissingValues::kFieldSize},
                     optionalNutrientNames()});
    return added;
}

namespace {

const std::vector<FieldDescription>& fieldsOf(const RecipeBook& book, const TZerovTable& table) {
    return &table == book.Recipes ? recipeFields() : lineFields();
}

void defineFields(TZerovTable& table, const std::vector<FieldDescription>& fields) {
    table.FieldDefs().clear();
    for (const FieldDescription& f : fields)
        table.FieldDefs().add(f.name, f.type, f.size);
}

} // namespace

void RecipeBook::openTable(TZerovTable& table, const std::string& path) {
    table.setPassword(password_);
    table.setAddedFields(&table == Recipes ? addedRecipeFields() : addedLineFields());
    if (!calc_) {
        openToRead(table, path);
        return;
    }
    if (fileExists(path)) {
        try {
            table.setLoadMode(lmFile);
            table.open();
            return;
        } catch (const std::exception& e) {
            // Kept as it is: the book will not write it this run.
            if (readOnlyReason_.empty())
                readOnlyReason_ = formatText(bookmsg::FileUnreadable, path.c_str(), e.what());
            if (&table == Lines)
                linesUnreadable_ = readOnlyReason_;
        }
    }
    // Not there yet (or unreadable): an empty table in memory, made a file by the first save.
    defineFields(table, fieldsOf(*this, table));
    table.setLoadMode(lmClear);
    table.open();
}

void RecipeBook::openToRead(TZerovTable& table, const std::string& path) {
    try {
        table.setLoadMode(lmFile);
        table.open();
    } catch (const EDatabaseError& e) {
        const AnsiString reason(
            msg::withoutOpeningPrefix(withoutComponentName(e.message(), &table)));
        // The file's fields were read, and are not the book's.
        if (table.FieldDefs().count() > 0)
            databaseError(fileNameText(path) + ": " +
                          formatText(bookmsg::NotABookFile, reason.c_str()));
        databaseError(fileNameText(path) + ": " + reason);
    }
}

void RecipeBook::makeMissingFiles() {
    for (TZerovTable* table : {Recipes, Lines}) {
        if (table->LoadMode() != lmClear)
            continue;
        const std::string path = table->tableFilePath();
        // Made by someone else meanwhile: it is read, not replaced.
        if (!fileExists(path)) {
            try {
                createTableFile(path, fieldsOf(*this, *table), RecipeCalculator::kTablePassword);
            } catch (const std::exception& e) {
                databaseError(formatText(bookmsg::CannotWrite, path.c_str(), e.what()));
            }
        }
        try {
            table->setLoadMode(lmFile);
            table->open();
        } catch (const std::exception& e) {
            readOnlyReason_ = formatText(bookmsg::FileUnreadable, path.c_str(), e.what());
            if (table == Lines)
                linesUnreadable_ = readOnlyReason_;
            defineFields(*table, fieldsOf(*this, *table));
            table->setLoadMode(lmClear);
            table->open();
            Recipes->setReadOnly(true);
            Lines->setReadOnly(true);
            throw;
        }
    }
    if (Lines->MasterSource() == nullptr)
        linkLines();
}

void RecipeBook::writeBook(WriteOrder order) {
    TZerovTable* first = order == WriteOrder::linesFirst ? Lines : Recipes;
    TZerovTable* second = order == WriteOrder::linesFirst ? Recipes : Lines;
    TZerovTable* written = nullptr;
    for (TZerovTable* table : {first, second}) {
        // A file in an older layout is written whole in the new one by the first change.
        if (awaitsUpgrade(*table))
            table->setPassword(table->Password());
        const bool changed = table->hasUnsavedChanges();
        try {
            table->saveChanges();
        } catch (const std::exception& e) {
            const AnsiString message =
                formatText(bookmsg::CannotWrite, table->tableFilePath().c_str(), e.what());
            undoUnwritten();
            // The file written before this one goes back to what the book holds again.
            if (written)
                rewrite(*written);
            databaseError(message);
        }
        if (changed)
            written = table;
    }
    Recipes->acceptChanges();
    Lines->acceptChanges();
    upgraded_ = true;
}

void RecipeBook::markGainedNutrientsMissing() {
    const std::vector<AnsiString>& gained = Lines->gainedFields();
    auto wasGained = [&](const char* name) {
        return std::find(gained.begin(), gained.end(), name) != gained.end();
    };
    // A file without Mancanti gains it listing every optional nutrient already.
    if (gained.empty() || wasGained(MissingValues::kFieldName))
        return;
    std::vector<AnsiString> names, order;
    for (const FieldDescription& f : lineFields())
        order.push_back(f.name);
    for (const Nutrient& n : kNutrients)
        if (wasGained(n.field))
            names.push_back(n.field);
    if (names.empty())
        return;
    OwnChange own(ownChange_);
    FieldsWritable writable{LinesMancanti};
    for (Lines->moveFirst(); !Lines->atEnd(); Lines->moveNext()) {
        MissingValues missing(LinesMancanti->stringValue());
        for (const AnsiString& name : names)
            missing.set(name, true, order);
        Lines->beginEdit();
        LinesMancanti->setStringValue(missing.text());
        Lines->postRecord();
    }
    // Held in memory as the file's own: the first change writes the whole file.
    Lines->acceptChanges();
}

bool RecipeBook::awaitsUpgrade(const TZerovTable& table) const {
    return !upgraded_ && table.LoadMode() == lmFile && !table.gainedFields().empty();
}

void RecipeBook::rewrite(TZerovTable& table) {
    try {
        // The same password again counts as a change, so the whole table is written.
        table.setPassword(table.Password());
        table.saveChanges();
        table.acceptChanges();
    } catch (...) {
        // The first error is the one reported; the file stays as last written.
    }
}

void RecipeBook::undoUnwritten() {
    OwnChange own(ownChange_);
    try {
        Recipes->discardChanges();
        Lines->discardChanges();
        // Lines that had left as orphans came back with the rest.
        removeOrphanLines();
    } catch (...) {
        // The write's own error is the one the user needs to see.
    }
}

} // namespace cibrano

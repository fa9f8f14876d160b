#include "recipe/RecipeFileReader.h"

#include "engine/ZerovConst.h"
#include "engine/ZerovTbl.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"
#include "platform/FileNameText.h"
#include "recipe/MissingValues.h"

#include <algorithm>
#include <filesystem>

namespace cibrano {

namespace {

void openWhole(TZerovTable& table, const std::string& path, const AnsiString& password,
               std::vector<AddedField> added) {
    table.setTableName(path);
    table.setAddedFields(std::move(added));
    table.setPassword(password);
    try {
        table.open();
    } catch (const EDatabaseError& e) {
        throw EDatabaseError(fileNameText(path) + ": " +
                             AnsiString(msg::withoutOpeningPrefix(e.message())));
    }
}

StoredField field(const TZerovTable& table, const std::string& path, const char* name,
                  std::initializer_list<StorageKind> kinds) {
    const StoredField f(table, table.findField(name));
    if (!f || std::find(kinds.begin(), kinds.end(), f.storageKind()) == kinds.end())
        throw EDatabaseError(fileNameText(path) + ": not a file of the recipe book (no field " +
                             name + " of the book's type)");
    return f;
}

// The edit distance between two texts: insertions, deletions and replacements of one byte.
size_t distance(const AnsiString& a, const AnsiString& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

RecipeFileReader::RecipeFileReader(const std::string& recipesPath, const AnsiString& password) {
    linesPath_ =
        (std::filesystem::path(recipesPath).parent_path() / RecipeBook::kLinesFile).string();
    {
        TZerovTable table;
        openWhole(table, recipesPath, password, RecipeBook::addedRecipeFields());
        const StoredField code = field(table, recipesPath, "Codice", {kindAutoInc, kindInteger});
        const StoredField name = field(table, recipesPath, "Nome", {kindFixedText, kindText});
        const StoredField servings =
            field(table, recipesPath, "Porzioni", {kindInteger, kindSmallint});
        const StoredField modified = field(table, recipesPath, "Modificata", {kindDateTime});
        const StoredField finalWeight = field(table, recipesPath, "PesoFinale", {kindFloat});
        forEachStoredRecord(table, [&](const RecordEntry& e) {
            recipes_.push_back({code.integer(e.data), AnsiString(name.text(e.data)),
                                servings.integer(e.data), AnsiString(), modified.dateTime(e.data),
                                finalWeight.number(e.data)});
        });
    }
    TZerovTable table;
    openWhole(table, linesPath_, password, RecipeBook::addedLineFields());
    const std::string& path = linesPath_;
    const StoredField recipe = field(table, path, "Ricetta", {kindInteger});
    const StoredField gruppo = field(table, path, "Gruppo", {kindFixedText, kindText});
    const StoredField nome = field(table, path, "Nome", {kindFixedText, kindText});
    const StoredField quantita = field(table, path, "Quantita", {kindFloat});
    std::array<StoredField, kNutrientCount> values;
    for (size_t i = 0; i < kNutrientCount; ++i)
        values[i] = field(table, path, kNutrients[i].field, {kindFloat});
    const StoredField missing =
        field(table, path, MissingValues::kFieldName, {kindFixedText, kindText});
    forEachStoredRecord(table, [&](const RecordEntry& e) {
        StoredLine& stored = lines_.emplace_back();
        stored.recipe = recipe.integer(e.data);
        RecipeLine& l = stored.line;
        l.Gruppo = AnsiString(gruppo.text(e.data));
        l.Nome = AnsiString(nome.text(e.data));
        l.Quantita = quantita.number(e.data);
        const MissingValues lacking{AnsiString(missing.text(e.data))};
        for (size_t i = 0; i < kNutrientCount; ++i) {
            l.values[i] = values[i].number(e.data);
            l.missing[i] = lacking.lists(kNutrients[i].field);
        }
    });
}

std::optional<RecipeInfo> RecipeFileReader::findRecipe(const AnsiString& name) const {
    const AnsiString wanted = RecipeBook::trimmedName(name);
    for (const RecipeInfo& r : recipes_)
        if (ansiSameText(RecipeBook::trimmedName(r.Nome), wanted))
            return r;
    return std::nullopt;
}

std::vector<RecipeLine> RecipeFileReader::linesOf(int code) const {
    std::vector<RecipeLine> lines;
    for (const StoredLine& l : lines_)
        if (l.recipe == code)
            lines.push_back(l.line);
    return lines;
}

std::vector<AnsiString> RecipeFileReader::closeNames(const AnsiString& name, size_t count) const {
    const AnsiString wanted = ansiUpperCase(RecipeBook::trimmedName(name));
    std::vector<std::pair<size_t, AnsiString>> close;
    for (const RecipeInfo& r : recipes_) {
        const AnsiString candidate = ansiUpperCase(RecipeBook::trimmedName(r.Nome));
        const bool holds = !wanted.empty() && (candidate.find(wanted) != AnsiString::npos ||
                                               wanted.find(candidate) != AnsiString::npos);
        const size_t d = distance(wanted, candidate);
        // A slip in every third letter or so still reads as the same name.
        if (holds || d <= std::max<size_t>(2, wanted.size() / 3))
            close.emplace_back(holds ? 0 : d, r.Nome);
    }
    std::stable_sort(close.begin(), close.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<AnsiString> names;
    for (size_t i = 0; i < close.size() && i < count; ++i)
        names.push_back(close[i].second);
    return names;
}

} // namespace cibrano

// The recipe book: its tables and fields, opening, the checks of what is typed, reading the
// recipes, and the texts it gives the windows. Its files and their writing are in
// RecipeBookFiles.cpp, its changes in RecipeBookChanges.cpp, the food table in
// RecipeBookFood.cpp.

#include "recipe/RecipeBook.h"

#include "dataset/DataSource.h"
#include "dataset/NumberFormat.h"
#include "platform/AnsiCase.h"
#include "platform/DatabaseError.h"
#include "platform/DateTimeText.h"
#include "platform/EditDistance.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "platform/RunThenAlways.h"
#include "recipe/MissingValues.h"
#include "recipe/RecipeBookGuards.h"
#include "recipe/RecipeBookMessages.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <unordered_set>

namespace cibrano {

using bookguards::OwnChange;

namespace {

template <typename F>
F* makeField(TZerovTable* table, TComponent* owner, const char* name, const char* fieldName) {
    auto* field = new F(owner);
    field->setName(name);
    field->setFieldName(fieldName);
    field->setDataSet(table);
    return field;
}

TStringField* makeText(TZerovTable* table, TComponent* owner, const char* name,
                       const char* fieldName, int size, int width) {
    auto* field = makeField<TStringField>(table, owner, name, fieldName);
    field->setSize(size);
    field->setDisplayWidth(width);
    return field;
}

TFloatField* makeAmount(TZerovTable* table, TComponent* owner, const char* name,
                        const char* fieldName, bool readOnly,
                        const char* format = RecipeCalculator::kTotalFormat) {
    auto* field = makeField<TFloatField>(table, owner, name, fieldName);
    // The food table's patterns: grouped with one decimal when shown, bare when edited.
    field->setDisplayFormat(format);
    field->setEditFormat("#.#");
    field->setDisplayWidth(10);
    field->setReadOnly(readOnly);
    return field;
}

} // namespace

RecipeBook::RecipeBook(RecipeCalculator& calculator, TComponent* owner)
    : RecipeBook(&calculator, owner) {}

RecipeBook::RecipeBook(const std::string& recipesPath, const AnsiString& password,
                       TComponent* owner)
    : RecipeBook(nullptr, owner) {
    password_ = password;
    const std::filesystem::path path(recipesPath);
    BookFolder->setDatabasePath(path.parent_path().string());
    Recipes->setTableName(path.filename().string());
    readOnlyReason_ = bookmsg::WithoutFoodTable;
}

RecipeBook::RecipeBook(RecipeCalculator* calculator, TComponent* owner)
    : TComponent(owner), calc_(calculator), password_(RecipeCalculator::kTablePassword) {
    BookFolder = new TZerovDatabase(this);
    BookFolder->setName("BookFolder");

    Recipes = new TZerovTable(this);
    Recipes->setName("Recipes");
    Recipes->setDatabase(BookFolder);
    Recipes->setTableName(kRecipesFile);
    // Names sort as people read them, whatever their case. Set before the table opens: set on
    // an open table it would sort the recipes, and the lines follow their recipe again.
    Recipes->setSortOptions(TZerovSortOptions{vsoCaseInsensitive});
    RecipesSource = new TDataSource(this);
    RecipesSource->setName("RecipesSource");
    RecipesSource->setDataSet(Recipes);

    Lines = new TZerovTable(this);
    Lines->setName("Lines");
    Lines->setDatabase(BookFolder);
    Lines->setTableName(kLinesFile);
    LinesSource = new TDataSource(this);
    LinesSource->setName("LinesSource");
    LinesSource->setDataSet(Lines);

    createFields();

    Recipes->BeforeInsert = [this](TDataSet*) { refuseOutsideChange(); };
    Recipes->BeforeDelete = [this](TDataSet*) { refuseOutsideChange(); };
    Recipes->BeforePost = [this](TDataSet*) { recipeBeforePost(); };
    Recipes->AfterPost = [this](TDataSet*) { recipeAfterPost(); };
    Lines->BeforeInsert = [this](TDataSet*) { refuseOutsideChange(); };
    Lines->BeforeDelete = [this](TDataSet*) { refuseOutsideChange(); };
    Lines->AfterEdit = [this](TDataSet*) {
        gramsAtEdit_ = LinesQuantita->isNull() ? 0 : LinesQuantita->floatValue();
    };
    Lines->BeforePost = [this](TDataSet*) { lineBeforePost(); };
    Lines->AfterPost = [this](TDataSet*) { lineAfterPost(); };
}

RecipeBook::~RecipeBook() {
    // Nothing is saved here: every change was written when it was made. The detail goes
    // first, unlinked, so that closing the master asks nothing of it.
    try {
        Lines->setMasterSource(nullptr);
        Lines->close();
        Recipes->close();
    } catch (...) {
        // A destructor cannot report; the tables still close as they go.
    }
}

void RecipeBook::createFields() {
    RecipesCodice = makeField<TAutoIncField>(Recipes, this, "RecipesCodice", "Codice");
    RecipesCodice->setVisible(false);
    RecipesNome = makeText(Recipes, this, "RecipesNome", "Nome", kMaxNameLength, 40);
    RecipesPorzioni = makeField<TIntegerField>(Recipes, this, "RecipesPorzioni", "Porzioni");
    RecipesPorzioni->setDisplayWidth(8);
    RecipesNote = makeField<TMemoField>(Recipes, this, "RecipesNote", "Note");
    RecipesNote->setVisible(false);
    RecipesModificata = makeField<TDateTimeField>(Recipes, this, "RecipesModificata", "Modificata");
    RecipesModificata->setReadOnly(true);
    RecipesModificata->OnGetText = [](TField* field, AnsiString& text, bool) {
        text = field->isNull() ? AnsiString() : formatModified(field->dateTimeValue());
    };
    RecipesModificata->setDisplayWidth(16);
    RecipesPesoFinale = makeAmount(Recipes, this, "RecipesPesoFinale", "PesoFinale", false);
    RecipesPesoFinale->setDisplayLabel("Peso finale (g)");
    // None given shows as nothing, and clearing the cell gives none.
    RecipesPesoFinale->OnGetText = [](TField* field, AnsiString& text, bool displayText) {
        const double grams = field->isNull() ? 0 : field->floatValue();
        text = grams == 0    ? AnsiString()
               : displayText ? formatRecipeValue(grams)
                             : formatFloat("#.#", grams);
    };
    // What is typed passes the save dialog's rule: a 0 typed is refused, a cleared cell is none.
    RecipesPesoFinale->OnSetText = [](TField* field, const AnsiString& text) {
        const double grams = finalWeightFromText(text);
        if (grams == 0)
            field->clearValue();
        else
            field->setFloatValue(grams);
    };

    LinesRicetta = makeField<TIntegerField>(Lines, this, "LinesRicetta", "Ricetta");
    LinesRicetta->setVisible(false);
    LinesGruppo = makeText(Lines, this, "LinesGruppo", "Gruppo", 30, 25);
    LinesGruppo->setReadOnly(true);
    LinesNome = makeText(Lines, this, "LinesNome", "Nome", 50, 40);
    LinesNome->setReadOnly(true);
    LinesQuantita = makeAmount(Lines, this, "LinesQuantita", "Quantita", false);
    LinesMancanti = makeText(Lines, this, "LinesMancanti", MissingValues::kFieldName,
                             MissingValues::kFieldSize, 20);
    LinesMancanti->setVisible(false);
    LinesMancanti->setReadOnly(true);
    for (size_t i = 0; i < kNutrientCount; ++i) {
        const Nutrient& n = kNutrients[i];
        TFloatField* f = makeAmount(Lines, this, (std::string("Lines") + n.field).c_str(), n.field,
                                    true, n.format);
        f->setDisplayLabel(n.heading);
        // A value the food did not have is not known, whatever the file keeps for it.
        f->OnGetText = [this, i](TField* field, AnsiString& text, bool) {
            if (MissingValues(LinesMancanti->stringValue()).lists(kNutrients[i].field))
                text = kNotKnown;
            else
                text = formatNutrient(i, field->isNull() ? 0 : field->floatValue());
        };
        LinesValues[i] = f;
    }
}

RecipeCalculator& RecipeBook::food() const {
    if (!calc_)
        databaseError(bookmsg::WithoutFoodTable);
    return *calc_;
}

std::string RecipeBook::recipesPath() const {
    return Recipes->tableFilePath();
}

std::string RecipeBook::linesPath() const {
    return Lines->tableFilePath();
}

// --- Opening ------------------------------------------------------------------------------------

void RecipeBook::open() {
    if (opened_)
        return;
    if (calc_)
        BookFolder->setDatabasePath(calc_->databaseFolder());
    openTable(*Recipes, recipesPath());
    openTable(*Lines, linesPath());
    opened_ = true;
    // Both files read (a book without a food table raised otherwise, and is read-only as made).
    if (!readOnly() || !calc_)
        markGainedNutrientsMissing();
    if (readOnly()) {
        Recipes->setReadOnly(true);
        Lines->setReadOnly(true);
        linkLines();
        return;
    }
    // Lines left behind by a recipe that is gone (a save cut short) belong to nobody: they
    // leave now, before a new recipe could take their recipe's number, and the file loses them
    // at the next write.
    removeOrphanLines();
    linkLines();
}

void RecipeBook::linkLines() {
    Lines->setRangeFieldNames("Ricetta");
    Lines->setMasterFields("Codice");
    Lines->setMasterSource(RecipesSource);
}

void RecipeBook::unlinkLines() {
    Lines->setMasterSource(nullptr);
}

void RecipeBook::removeOrphanLines() {
    std::unordered_set<int32_t> codes;
    const StoredField code(*Recipes, RecipesCodice);
    forEachStoredRecord(*Recipes,
                        [&](const RecordEntry& e) { codes.insert(code.integer(e.data)); });
    const bool linked = Lines->MasterSource() != nullptr;
    if (linked)
        unlinkLines();
    runThenAlways(
        [&] {
            const StoredField recipe(*Lines, LinesRicetta);
            std::vector<int> orphans;
            const RecordView& view = Lines->recordView();
            for (size_t i = 0; i < view.size(); ++i)
                if (view[i]->data && !codes.count(recipe.integer(view[i]->data)))
                    orphans.push_back(static_cast<int>(i));
            OwnChange own(ownChange_);
            for (auto it = orphans.rbegin(); it != orphans.rend(); ++it) {
                Lines->moveToRecordNumber(*it + 1);
                Lines->deleteRecord();
            }
        },
        [&] {
            if (linked)
                linkLines();
        });
}

// --- Checks -------------------------------------------------------------------------------------

AnsiString RecipeBook::trimmedName(const AnsiString& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

AnsiString RecipeBook::checkedName(const AnsiString& typed) {
    const AnsiString name = trimmedName(typed);
    if (name.empty())
        databaseError(bookmsg::NameEmpty);
    if (name.size() > static_cast<size_t>(kMaxNameLength))
        databaseError(formatText(bookmsg::NameTooLong, kMaxNameLength));
    return name;
}

int RecipeBook::servingsFromText(const AnsiString& typed) {
    const AnsiString text = trimmedName(typed);
    bool digits = !text.empty() && text.size() <= 3;
    for (char c : text)
        digits = digits && c >= '0' && c <= '9';
    if (!digits)
        databaseError(formatText(bookmsg::ServingsRange, kMaxServings));
    const int servings = std::atoi(text.c_str());
    checkServings(servings);
    return servings;
}

void RecipeBook::checkServings(int servings) {
    if (servings < 1 || servings > kMaxServings)
        databaseError(formatText(bookmsg::ServingsRange, kMaxServings));
}

void RecipeBook::checkGrams(double grams) {
    if (grams == 0 || !std::isfinite(grams))
        databaseError(bookmsg::GramsZero);
}

double RecipeBook::finalWeightFromText(const AnsiString& typed) {
    const AnsiString text = trimmedName(typed);
    if (text.empty())
        return 0;
    double grams = 0;
    // Text that is not a number fails the range like any weight out of it.
    if (!tryParseFloat(text, grams))
        grams = std::nan("");
    checkFinalWeight(grams);
    return grams;
}

void RecipeBook::checkFinalWeight(double grams) {
    if (!(grams > 0 && grams <= kMaxFinalWeight))
        databaseError(
            formatText(bookmsg::FinalWeightRange, formatFloat("#,##0", kMaxFinalWeight).c_str()));
}

AnsiString RecipeBook::finalWeightQuestion(double finalWeight, double ingredientGrams) {
    if (finalWeight <= 0 || ingredientGrams <= 0)
        return AnsiString();
    if (finalWeight * kFinalWeightRatio >= ingredientGrams &&
        finalWeight <= ingredientGrams * kFinalWeightRatio)
        return AnsiString();
    return formatText(bookmsg::FinalWeightQuestion, formatRecipeValue(finalWeight).c_str(),
                      formatRecipeValue(ingredientGrams).c_str());
}

void RecipeBook::checkWritable() const {
    if (!opened_)
        databaseError(bookmsg::NotOpen);
    if (readOnly())
        databaseError(formatText(bookmsg::ReadOnly, readOnlyReason_.c_str()));
}

// --- Reading the recipes ------------------------------------------------------------------------

namespace {

// A recipe record as RecipeInfo.
struct RecipeSlots {
    StoredField code, name, servings, note, modified, finalWeight;
    explicit RecipeSlots(const RecipeBook& book)
        : code(*book.Recipes, book.RecipesCodice), name(*book.Recipes, book.RecipesNome),
          servings(*book.Recipes, book.RecipesPorzioni), note(*book.Recipes, book.RecipesNote),
          modified(*book.Recipes, book.RecipesModificata),
          finalWeight(*book.Recipes, book.RecipesPesoFinale) {}
    RecipeInfo read(const uint8_t* data) const {
        return {code.integer(data), AnsiString(name.text(data)), servings.integer(data),
                note.memo(data),    modified.dateTime(data),     finalWeight.number(data)};
    }
};

} // namespace

void RecipeBook::sortBy(const TField* field) {
    for (TZerovTable* table : {Recipes, Lines})
        if (field && field->DataSet() == table && table->IndexFieldNames() != field->FieldName())
            table->setIndexFieldNames(field->FieldName());
}

std::vector<RecipeInfo> RecipeBook::recipes() const {
    std::vector<RecipeInfo> list;
    if (!Recipes->Active())
        return list;
    const RecipeSlots slots(*this);
    forEachStoredRecord(*Recipes,
                        [&](const RecordEntry& e) { list.push_back(slots.read(e.data)); });
    return list;
}

std::optional<RecipeInfo> RecipeBook::recipe(int code) const {
    if (!Recipes->Active())
        return std::nullopt;
    const RecipeSlots slots(*this);
    std::optional<RecipeInfo> found;
    forEachStoredRecord(*Recipes, [&](const RecordEntry& e) {
        if (!found && slots.code.integer(e.data) == code)
            found = slots.read(e.data);
    });
    return found;
}

std::optional<int> RecipeBook::findRecipe(const AnsiString& name) const {
    const AnsiString wanted = trimmedName(name);
    for (const RecipeInfo& r : recipes())
        if (ansiSameText(trimmedName(r.Nome), wanted))
            return r.Codice;
    return std::nullopt;
}

std::vector<AnsiString> RecipeBook::closeNames(const AnsiString& name, size_t count) const {
    const AnsiString wanted = ansiUpperCase(trimmedName(name));
    std::vector<std::pair<size_t, AnsiString>> close;
    for (const RecipeInfo& r : recipes()) {
        const AnsiString candidate = ansiUpperCase(trimmedName(r.Nome));
        const bool holds = !wanted.empty() && (candidate.find(wanted) != AnsiString::npos ||
                                               wanted.find(candidate) != AnsiString::npos);
        const size_t d = editDistance(wanted, candidate);
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

std::vector<RecipeLine> RecipeBook::linesOf(int code) const {
    std::vector<RecipeLine> lines;
    if (!Lines->Active())
        return lines;
    const StoredField recipe(*Lines, LinesRicetta), group(*Lines, LinesGruppo),
        name(*Lines, LinesNome), grams(*Lines, LinesQuantita), missing(*Lines, LinesMancanti);
    std::array<StoredField, kNutrientCount> values;
    for (size_t i = 0; i < kNutrientCount; ++i)
        values[i] = StoredField(*Lines, LinesValues[i]);
    // The lines grid shows the current recipe's lines: in stored order while it is neither
    // sorted nor filtered and shows the store as it stands, and those few are read instead of
    // every line of the book.
    const bool shown = Lines->MasterSource() && Lines->rangeActive() &&
                       Lines->IndexFieldNames().empty() && !Lines->Filtered() &&
                       Lines->State() == stateBrowse && Recipes->State() == stateBrowse &&
                       !Lines->viewBehindStore() && currentCode() == code;
    const std::vector<RecordEntry*>& entries =
        shown ? Lines->recordView() : Lines->store()->entries();
    for (const RecordEntry* e : entries) {
        if (!e->isLive() || !e->data || recipe.integer(e->data) != code)
            continue;
        RecipeLine& l = lines.emplace_back();
        l.Gruppo = AnsiString(group.text(e->data));
        l.Nome = AnsiString(name.text(e->data));
        l.Quantita = grams.number(e->data);
        const std::string_view missingText = missing.text(e->data);
        const MissingValues lacking{AnsiString(missingText)};
        for (size_t i = 0; i < kNutrientCount; ++i) {
            l.values[i] = values[i].number(e->data);
            l.missing[i] = !missingText.empty() && lacking.lists(kNutrients[i].field);
        }
    }
    return lines;
}

RecipeValues RecipeBook::valuesOf(int code) const {
    const std::optional<RecipeInfo> r = recipe(code);
    return recipeValues(linesOf(code), r ? r->Porzioni : 1, r ? r->PesoFinale : 0);
}

std::optional<int> RecipeBook::currentCode() const {
    if (!Recipes->Active() || Recipes->hasNoRecords())
        return std::nullopt;
    return RecipesCodice->integerValue();
}

// --- Texts --------------------------------------------------------------------------------------

AnsiString RecipeBook::formatModified(TDateTime value) {
    if (!isValidDateTime(value))
        return AnsiString();
    int hour = 0, minute = 0, second = 0, msec = 0;
    decodeTime(value, hour, minute, second, msec);
    return formatDate(value) + " " +
           formatText("%02d%c%02d", hour, regional().timeSeparator, minute);
}

AnsiString RecipeBook::missingFoodsMessage(const std::vector<RecipeLine>& missing) {
    if (missing.empty())
        return AnsiString();
    AnsiString text = bookmsg::MissingFoods;
    for (const RecipeLine& line : missing) {
        text += "\n";
        text += line.Nome;
        if (!line.Gruppo.empty())
            text += " (" + line.Gruppo + ")";
    }
    return text;
}

} // namespace cibrano

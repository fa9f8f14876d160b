// The recipe book's changes: a recipe saved, replaced, deleted, renamed or given servings in
// code, and the edits made in the grids, checked before their post and written after it.

#include "recipe/RecipeBook.h"

#include "platform/Abort.h"
#include "platform/AnsiCase.h"
#include "platform/Clock.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"
#include "platform/UiServices.h"
#include "recipe/RecipeBookGuards.h"
#include "recipe/RecipeBookMessages.h"
#include "recipe/RecipeFoodRows.h"

#include <utility>

namespace cibrano {

using bookguards::FieldsWritable;
using bookguards::OwnChange;

void RecipeBook::goToRecipe(int code) {
    if (Recipes->State() != stateBrowse)
        Recipes->settlePendingEdit();
    if (!Recipes->locate("Codice", TVariant(code), {}))
        databaseError(formatText(bookmsg::NoSuchRecipe, code));
}

void RecipeBook::replaceLines(int code, const std::vector<RecipeLine>& lines) {
    // The master stands on the recipe, so the detail shows just its lines.
    while (!Lines->hasNoRecords()) {
        Lines->moveFirst();
        Lines->deleteRecord();
    }
    std::vector<TField*> foodFields = {LinesGruppo, LinesNome, LinesMancanti};
    foodFields.insert(foodFields.end(), LinesValues.begin(), LinesValues.end());
    FieldsWritable writable(foodFields);
    for (const RecipeLine& line : lines) {
        Lines->beginAppend();
        LinesRicetta->setIntegerValue(code);
        LinesGruppo->setStringValue(line.Gruppo);
        LinesNome->setStringValue(line.Nome);
        LinesQuantita->setFloatValue(line.Quantita);
        AnsiString missing;
        for (size_t i = 0; i < kNutrientCount; ++i) {
            // A value not known is kept empty, its name in Mancanti.
            if (line.knows(i))
                LinesValues[i]->setFloatValue(line.values[i]);
            else
                missing += (missing.empty() ? "" : " ") + AnsiString(kNutrients[i].field);
        }
        LinesMancanti->setStringValue(missing);
        Lines->postRecord();
    }
    Lines->moveFirst();
}

int RecipeBook::saveCurrentRecipe(const AnsiString& typedName, int servings, bool replace,
                                  double finalWeight) {
    checkWritable();
    postPendingEdits();
    const AnsiString name = checkedName(typedName);
    checkServings(servings);
    if (finalWeight != 0)
        checkFinalWeight(finalWeight);
    const std::vector<RecipeLine> lines = usedFoodRows(food());
    if (lines.empty())
        databaseError(bookmsg::NoQuantities);
    const std::optional<int> existing = findRecipe(name);
    if (existing && !replace)
        databaseError(formatText(bookmsg::NameTaken, name.c_str()));
    makeMissingFiles();

    int code = 0;
    {
        OwnChange own(ownChange_);
        try {
            {
                FieldsWritable writable{RecipesModificata};
                if (existing) {
                    goToRecipe(*existing);
                    Recipes->beginEdit();
                } else {
                    Recipes->beginAppend();
                }
                RecipesNome->setStringValue(name);
                RecipesPorzioni->setIntegerValue(servings);
                if (finalWeight > 0)
                    RecipesPesoFinale->setFloatValue(finalWeight);
                else
                    RecipesPesoFinale->clearValue();
                RecipesModificata->setDateTimeValue(now());
                Recipes->postRecord();
            }
            code = existing ? *existing : Recipes->store()->autoIncCounter();
            goToRecipe(code);
            replaceLines(code, lines);
        } catch (...) {
            if (Recipes->State() != stateBrowse)
                Recipes->cancelRecord();
            if (Lines->State() != stateBrowse)
                Lines->cancelRecord();
            undoUnwritten();
            throw;
        }
    }
    // The lines before the recipe: a write cut short between the two leaves lines that belong
    // to no recipe (dropped at the next opening), never a recipe without its lines.
    writeBook(WriteOrder::linesFirst);
    goToRecipe(code);
    sourceCode_ = code;
    return code;
}

void RecipeBook::deleteRecipe(int code) {
    checkWritable();
    postPendingEdits();
    makeMissingFiles();
    {
        OwnChange own(ownChange_);
        try {
            goToRecipe(code);
            while (!Lines->hasNoRecords()) {
                Lines->moveFirst();
                Lines->deleteRecord();
            }
            Recipes->deleteRecord();
        } catch (...) {
            undoUnwritten();
            throw;
        }
    }
    // The recipe before its lines: a write cut short leaves lines of no recipe, not a recipe
    // that lost its lines.
    writeBook(WriteOrder::recipesFirst);
}

void RecipeBook::editRecipe(int code, TField* field, const TVariant& value) {
    checkWritable();
    goToRecipe(code);
    Recipes->beginEdit();
    try {
        field->setValue(value);
        Recipes->postRecord();
    } catch (...) {
        if (Recipes->State() != stateBrowse)
            Recipes->cancelRecord();
        throw;
    }
}

void RecipeBook::renameRecipe(int code, const AnsiString& name) {
    editRecipe(code, RecipesNome, TVariant(name));
}

void RecipeBook::setServings(int code, int servings) {
    editRecipe(code, RecipesPorzioni, TVariant(servings));
}

void RecipeBook::setFinalWeight(int code, double grams) {
    editRecipe(code, RecipesPesoFinale, grams != 0 ? TVariant(grams) : TVariant());
}

// --- Edits made in the grids --------------------------------------------------------------------

void RecipeBook::refuseOutsideChange() {
    // The grids edit in place; recipes and lines come and go only through the book.
    if (ownChange_ == 0)
        abortSilently();
}

bool RecipeBook::checkEditedRecipe() {
    checkWritable();
    const AnsiString name = checkedName(RecipesNome->stringValue());
    if (name != RecipesNome->stringValue())
        RecipesNome->setStringValue(name);
    const int code = RecipesCodice->integerValue();
    for (const RecipeInfo& r : recipes())
        if (r.Codice != code && ansiSameText(trimmedName(r.Nome), name))
            databaseError(formatText(bookmsg::NameTaken, name.c_str()));
    const int servings = RecipesPorzioni->isNull() ? 0 : RecipesPorzioni->integerValue();
    checkServings(servings);
    // A float field keeps none as 0 (a typed 0 is refused as it is typed, RecipesPesoFinale's
    // text handler): any other value must be a weight.
    const double finalWeight = RecipesPesoFinale->isNull() ? 0 : RecipesPesoFinale->floatValue();
    const std::optional<RecipeInfo> stored = recipe(code);
    if (finalWeight != 0 && (!stored || stored->PesoFinale != finalWeight))
        checkFinalWeight(finalWeight);
    if (stored && stored->PesoFinale != finalWeight) {
        const AnsiString question = finalWeightQuestion(finalWeight, valuesOf(code).grams);
        if (!question.empty() && !askYesNo(question))
            abortSilently();
    }
    return !stored || stored->Nome != name || stored->Porzioni != servings ||
           stored->Note != RecipesNote->stringValue() || stored->PesoFinale != finalWeight;
}

void RecipeBook::postPendingEdits() {
    if (ownChange_ > 0)
        return;
    // The line first: its post checks the recipe's pending edit too.
    for (TZerovTable* table : {Lines, Recipes})
        if (table->State() == stateEdit || table->State() == stateInsert)
            table->postRecord();
}

void RecipeBook::recipeBeforePost() {
    unchangedPost_ = false;
    if (ownChange_ > 0)
        return;
    unchangedPost_ = !checkEditedRecipe();
    if (unchangedPost_)
        return;
    FieldsWritable writable{RecipesModificata};
    RecipesModificata->setDateTimeValue(now());
}

void RecipeBook::recipeAfterPost() {
    if (ownChange_ > 0)
        return;
    if (std::exchange(unchangedPost_, false)) {
        // The record holds what the file holds.
        Recipes->acceptChanges();
        return;
    }
    writeBook(WriteOrder::recipesFirst);
}

void RecipeBook::lineBeforePost() {
    unchangedPost_ = false;
    if (ownChange_ > 0)
        return;
    checkWritable();
    const double grams = LinesQuantita->isNull() ? 0 : LinesQuantita->floatValue();
    checkGrams(grams);
    // The recipe's own edit, still open in its grid, is posted with the line (its date moves):
    // it passes its checks first.
    const bool recipeChanged = Recipes->State() == stateEdit && checkEditedRecipe();
    unchangedPost_ = grams == gramsAtEdit_ && !recipeChanged;
}

void RecipeBook::lineAfterPost() {
    if (ownChange_ > 0)
        return;
    if (std::exchange(unchangedPost_, false)) {
        Lines->acceptChanges();
        return;
    }
    // The recipe changed with its line: its date says so. Posting and writing the master set
    // the lines' range again, so the line is found again afterwards.
    const TBookmark line = Lines->getBookmark();
    {
        OwnChange own(ownChange_);
        try {
            FieldsWritable writable{RecipesModificata};
            Recipes->beginEdit();
            RecipesModificata->setDateTimeValue(now());
            Recipes->postRecord();
        } catch (...) {
            if (Recipes->State() != stateBrowse)
                Recipes->cancelRecord();
            undoUnwritten();
            throw;
        }
    }
    writeBook(WriteOrder::linesFirst);
    if (line && Lines->bookmarkValid(line))
        Lines->gotoBookmark(line);
}

} // namespace cibrano

#pragma once
// The recipe room (recipe/): the program's work without a window. The food table session
// (RecipeCalculator), this recipe book, the totals and their formats, the energy split, the
// sheet's data and its CSV; everything a window shows or a command-line tool prints of a
// recipe is decided here. It stands over the engine (through its module headers only), the
// dataset framework and the platform. Nothing of Qt, of the grid, of the sheet's drawing or of
// the windows may enter it: a window asks this room and shows the answer.
//
// RecipeBook: the recipes a person keeps by name, without a window. Two table files in the
// food table's folder, enciphered with its password:
//   ricette.d      Codice (automatic number), Nome, Porzioni, Note, Modificata, PesoFinale
//                  (grams of the finished dish; empty for none: the sum of the lines' grams);
//   ingredienti.d  Ricetta (the recipe's Codice), Gruppo, Nome, Quantita, the food's per-100 g
//                  values (recipe/Nutrients.h) as they were when the line was saved, and
//                  Mancanti (the names of the values the food did not have).
// A file written before a field of these existed opens all the same, the field added as it
// loads (a line's new values not known, no final weight), and is written whole in the new
// layout by the book's first change (recipe/Nutrients.h).
// The recipes table is the master of the lines table through the engine's master-detail link:
// the lines shown are those of the current recipe. Both files are made, empty, by the first
// change; until then the book is empty in memory.
//
// Every change (a recipe saved or replaced, deleted, renamed, its servings or a line's grams
// edited, in code or in a grid bound to the tables) is written at once through the tables' own
// save (a temporary file renamed over the old one). A save that fails undoes the change in
// memory and raises an error naming the file. A book file that cannot be read (damaged, wrong
// password, fields of another table) makes the book read-only for the run: that file is never
// written; the error says why, and the food table is not touched.
//
// A book may also be read without a food table, from a recipes file and the lines file beside
// it (the command-line tool's sheet and label): then both files must be there and readable,
// open() raising an error that names the file, and the book is read-only.
//
// Recipes come from and go to the food table of a RecipeCalculator: saving takes every food
// row whose quantity is not 0, loading sets every quantity to 0 and then each line's grams
// into the first row, in stored order, with the line's Gruppo and Nome. Both are one pass over
// the food table's records.
//
// The class is written over four files by concern: RecipeBook.cpp (tables, fields, opening,
// checks, reading the recipes, texts), RecipeBookFiles.cpp (the files: made, opened, written,
// undone), RecipeBookChanges.cpp (the changes, in code and in the grids) and
// RecipeBookFood.cpp (taking a recipe from the food table and loading one into it).

#include "dataset/BlobField.h"
#include "dataset/DateTimeFields.h"
#include "dataset/FloatField.h"
#include "dataset/IntegerFields.h"
#include "dataset/StringField.h"
#include "engine/ZerovTbl.h"
#include "platform/AnsiString.h"
#include "platform/Component.h"
#include "platform/DateTime.h"
#include "recipe/Nutrients.h"
#include "recipe/RecipeCalculator.h"
#include "recipe/RecipeValues.h"

#include <optional>
#include <vector>

namespace cibrano {

class TDataSource;
class TField;

// One kept recipe, as the recipes table holds it.
struct RecipeInfo {
    int Codice = 0;
    AnsiString Nome;
    int Porzioni = 1;
    AnsiString Note;
    TDateTime Modificata = 0;
    // Grams of the finished dish; 0 for none given.
    double PesoFinale = 0;
};

// What loading a recipe into the food table came to.
struct RecipeLoadResult {
    // Lines whose grams went into a food row.
    int loaded = 0;
    // The lines whose food (Gruppo and Nome) the food table does not hold, in line order.
    std::vector<RecipeLine> missing;
};

class RecipeBook : public TComponent {
public:
    static constexpr const char* kRecipesFile = "ricette.d";
    static constexpr const char* kLinesFile = "ingredienti.d";
    static constexpr int kMaxNameLength = 50;
    static constexpr int kMaxServings = 999;
    static constexpr double kMaxFinalWeight = 1000000;
    // A final weight below the ingredients' grams divided by this, or above them times it,
    // asks for confirmation.
    static constexpr double kFinalWeightRatio = 10;

    // The book of the calculator's food table; it opens with open().
    explicit RecipeBook(RecipeCalculator& calculator, TComponent* owner = nullptr);
    // The book of `recipesPath` and the lines file beside it, without a food table, under
    // `password` (empty: the passwords the session knows, then the question of the UI
    // services). It opens with open(), which raises for a file missing or unreadable; what
    // needs the food table (saving, loading, its quantities) is refused.
    RecipeBook(const std::string& recipesPath, const AnsiString& password,
               TComponent* owner = nullptr);
    ~RecipeBook() override;

    // --- Components (owned) --------------------------------------------------------------
    TZerovDatabase* BookFolder;
    TZerovTable* Recipes;
    TDataSource* RecipesSource;
    TZerovTable* Lines;
    TDataSource* LinesSource;

    TAutoIncField* RecipesCodice;
    TStringField* RecipesNome;
    TIntegerField* RecipesPorzioni;
    TMemoField* RecipesNote;
    TDateTimeField* RecipesModificata;
    TFloatField* RecipesPesoFinale;

    TIntegerField* LinesRicetta;
    TStringField* LinesGruppo;
    TStringField* LinesNome;
    TFloatField* LinesQuantita;
    // The food's per-100 g values, in kNutrients' order, named "Lines" and the field.
    std::array<TFloatField*, kNutrientCount> LinesValues;
    // The names of the line's values not known (MissingValues); hidden.
    TStringField* LinesMancanti;

    // --- Opening -------------------------------------------------------------------------
    // Opens both tables from the calculator's folder (files that do not exist yet give empty
    // tables). Never raises for a book file: one that cannot be read makes the book read-only
    // and readOnlyReason() says why. Opening again does nothing. A book without a food table
    // raises instead, naming the file.
    void open();
    bool isOpen() const { return opened_; }
    bool readOnly() const { return !readOnlyReason_.empty(); }
    // Empty while the book can be changed; else the message the user is shown.
    const AnsiString& readOnlyReason() const { return readOnlyReason_; }
    // The paths of the two files.
    std::string recipesPath() const;
    std::string linesPath() const;

    // The fields a book file written before they existed lacks, as its table loads them
    // (TZerovTable::setAddedFields): a recipe of such a file has no final weight, and its
    // lines do not know the optional nutrients.
    static std::vector<AddedField> addedRecipeFields();
    static std::vector<AddedField> addedLineFields();

    // --- Checking what is typed ----------------------------------------------------------
    // A name as names are compared and kept: without the blanks and control bytes around it.
    static AnsiString trimmedName(const AnsiString& text);
    // The name as kept: surrounding blanks removed; raises when nothing is left or when it is
    // longer than 50 characters.
    static AnsiString checkedName(const AnsiString& typed);
    // Servings typed as text: a whole number from 1 to 999, else an error.
    static int servingsFromText(const AnsiString& typed);
    static void checkServings(int servings);
    // A line's grams: any number but 0.
    static void checkGrams(double grams);
    // A final weight typed as text: none for an empty text, else a number above 0 and up to
    // 1,000,000 grams in the user's format, else an error.
    static double finalWeightFromText(const AnsiString& typed);
    static void checkFinalWeight(double grams);
    // The question to ask before keeping a final weight that is far from the ingredients'
    // grams (below a tenth, above ten times); empty when it is not.
    static AnsiString finalWeightQuestion(double finalWeight, double ingredientGrams);

    // --- The recipes ---------------------------------------------------------------------
    // Every recipe, in stored order.
    std::vector<RecipeInfo> recipes() const;
    std::optional<RecipeInfo> recipe(int code) const;
    // The code of the recipe with that name, compared without regard to case and surrounding
    // blanks.
    std::optional<int> findRecipe(const AnsiString& name) const;
    // Up to `count` names of recipes close to `name`, closest first: names that hold it or that
    // it holds, and names a few typing slips away.
    std::vector<AnsiString> closeNames(const AnsiString& name, size_t count = 5) const;
    // The lines of a recipe, in stored order.
    std::vector<RecipeLine> linesOf(int code) const;
    // Its totals, per serving and per 100 g of the finished dish.
    RecipeValues valuesOf(int code) const;
    // Orders the book's table that `field` belongs to by it (a grid's title click); the order it
    // has already, or a field of no table of the book's, changes nothing.
    void sortBy(const TField* field);
    // The code of the recipes table's current record; none on an empty book.
    std::optional<int> currentCode() const;

    // --- Changes (each written at once) ----------------------------------------------------
    // Keeps the food table's current recipe: every row whose quantity is not 0, over all rows
    // whatever the food table shows, becomes a line. A name already kept is refused unless
    // `replace`, which keeps that recipe's code and replaces its name, servings and lines.
    // Refuses a food table without such a row. The final weight is 0 for none. Answers the
    // recipe's code, which becomes the current recipe.
    int saveCurrentRecipe(const AnsiString& name, int servings, bool replace,
                          double finalWeight = 0);
    // Whether any food row's quantity is not 0 (a pending edit of the food table is posted
    // first).
    bool foodTableHasQuantities();
    // The grams of the food table's current recipe: the sum of its quantities (settled first).
    double currentQuantitiesGrams();
    // Puts the recipe into the food table: every quantity 0, then each line's grams into the
    // first row, in stored order, with its Gruppo and Nome. The food table's controls see one
    // change (the totals are computed once), the food table then has unsaved changes, as after
    // typing, and shows its first row. Refused while the lines file could not be read.
    RecipeLoadResult loadRecipe(int code);
    // Removes the recipe and its lines.
    void deleteRecipe(int code);
    // Posts what the grids left in edit, through their checks (a refused value stays in edit
    // and raises). Every change of the book's own does it first: no value reaches a file
    // unchecked, whoever posts it.
    void postPendingEdits();
    // Renames and sets servings as a grid edit would (the checks included).
    void renameRecipe(int code, const AnsiString& name);
    void setServings(int code, int servings);
    // 0 for none; a weight below a tenth or above ten times the ingredients' asks first (No
    // raises EAbort).
    void setFinalWeight(int code, double grams);

    // The recipe the food table's quantities were last loaded from or saved as in this run,
    // as it is kept now (the save dialog proposes its name and servings); none when no recipe
    // was, or it has been deleted since.
    std::optional<RecipeInfo> sourceRecipe() const;
    // That recipe while the food table's quantities are still its lines (the same foods and
    // grams); none once they differ.
    std::optional<RecipeInfo> recipeOfCurrentQuantities() const;

    // When a recipe was changed, as the recipes grid shows it: the short date, hours and
    // minutes.
    static AnsiString formatModified(TDateTime value);

    // The message that lists the foods missing from the food table after a load; empty when
    // none are.
    static AnsiString missingFoodsMessage(const std::vector<RecipeLine>& missing);

private:
    enum class WriteOrder { linesFirst, recipesFirst };

    RecipeBook(RecipeCalculator* calculator, TComponent* owner);
    void createFields();
    // The food table the book saves from and loads into; refused for a book without one.
    RecipeCalculator& food() const;
    void openTable(TZerovTable& table, const std::string& path);
    // Opens a file of a book without a food table, or raises naming it.
    void openToRead(TZerovTable& table, const std::string& path);
    void linkLines();
    void unlinkLines();
    void removeOrphanLines();
    // Makes the files that do not exist yet, so that the next save has somewhere to go.
    void makeMissingFiles();
    void checkWritable() const;
    // Writes both tables in that order and makes their changes final; a failure undoes every
    // change not yet final and raises an error naming the file.
    void writeBook(WriteOrder order);
    void undoUnwritten();
    // Writes the whole table again as it is in memory.
    void rewrite(TZerovTable& table);
    // Whether the table's file lacks fields the table has: its next write must happen, and
    // writes them.
    bool awaitsUpgrade(const TZerovTable& table) const;
    // A lines file that had Mancanti but lacked a nutrient's field: every line lists it, in
    // memory, so that it reads as not known now and after the next write.
    void markGainedNutrientsMissing();
    // Makes the recipe current; raises when there is none with that code.
    void goToRecipe(int code);
    void replaceLines(int code, const std::vector<RecipeLine>& lines);
    // Sets one field of the recipe as a grid edit would, through the grid's checks.
    void editRecipe(int code, TField* field, const TVariant& value);

    // The grids' edits: checks before the post, the write after it. An edit that leaves every
    // value as it was is no change: it writes nothing and the date stays.
    void recipeBeforePost();
    void recipeAfterPost();
    void lineBeforePost();
    void lineAfterPost();
    void refuseOutsideChange();
    // The checks of the recipe record being edited, its name kept trimmed; whether any of its
    // values differs from the stored ones.
    bool checkEditedRecipe();

    // None for a book read without a food table.
    RecipeCalculator* calc_;
    AnsiString password_;
    bool opened_ = false;
    AnsiString readOnlyReason_;
    // Why the lines file could not be read, when it could not: no recipe is then loaded, since
    // its lines are not known.
    AnsiString linesUnreadable_;
    std::optional<int> sourceCode_;
    // Set while the book itself inserts, deletes or posts: a grid may only edit in place.
    int ownChange_ = 0;
    // The grams of the line being edited, as they were when its edit began.
    double gramsAtEdit_ = 0;
    // Set between the checks and the write of a grid edit that changed nothing.
    bool unchangedPost_ = false;
    // Both files were written since they were opened: an older layout is gone.
    bool upgraded_ = false;
};

} // namespace cibrano

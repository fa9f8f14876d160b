#pragma once
// RecipeCalculator: the program's own work without a window. It owns the food table, its data
// source and a clone of it, works out the recipe's four nutrient totals by walking the clone,
// and has one operation per user command (show used rows, show all rows, zero quantities, sort
// by a column, choose the find box's column, save on close). The main window creates it,
// forwards its control events to it and shows the texts it produces through OnShowTotals.
//
// The food table's persistent fields are bound by name when it opens; the file supplies the
// field definitions. The clone's fields carry the same names in upper case: field names match
// without regard to case.

#include "dataset/FloatField.h"
#include "dataset/StringField.h"
#include "engine/VolFndEd.h"
#include "engine/ZerovTbl.h"
#include "platform/AnsiString.h"
#include "platform/Component.h"
#include "recipe/Nutrients.h"

#include <functional>
#include <optional>
#include <vector>

namespace cibrano {

class TDataSet;
class TDataSource;
class TField;

// The recipe's totals, in the order the window shows them.
struct RecipeTotals {
    double Glucidi = 0, Proteine = 0, Lipidi = 0, Kcalorie = 0;
};

// The texts of the four totals labels: t1 carbohydrates, t2 proteins, t3 fats, t4 energy.
struct TotalsLabelSet {
    AnsiString t1, t2, t3, t4;
};

class RecipeCalculator : public TComponent {
public:
    static constexpr const char* kTableName = "alimenti.d";
    static constexpr const char* kTablePassword = "QUARZOFELCEBRUM";
    // The pattern of the totals.
    static constexpr const char* kTotalFormat = kOneDecimalFormat;

    explicit RecipeCalculator(TComponent* owner = nullptr);
    ~RecipeCalculator() override;

    // --- Components (owned; created with these names) ----------------------------------
    TZerovDatabase* ZerovDatabase1;
    TZerovTable* Table1;
    TDataSource* DataSource1;
    TZerovTable* Table2;

    TStringField* Table1Gruppo;
    TStringField* Table1Nome;
    TFloatField* Table1Quantita;
    TFloatField* Table1Kcalorie;
    TFloatField* Table1Glucidi;
    TFloatField* Table1Lipidi;
    TFloatField* Table1Proteine;
    // The names of the row's values that are not known (MissingValues), bound when the file
    // has the field, hidden; null on a table without it (every table of the seven fields).
    TStringField* Table1Mancanti = nullptr;

    TStringField* Table2GRUPPO;
    TStringField* Table2NOME;
    TFloatField* Table2QUANTITA;
    TFloatField* Table2KCALORIE;
    TFloatField* Table2GLUCIDI;
    TFloatField* Table2LIPIDI;
    TFloatField* Table2PROTEINE;

    // The find box's logic: DataSource1, "Nome", vfsFilter, vfmAnyPos. The window's line edit
    // forwards its text to it.
    TZerovFindEdit* ZerovFindEdit1;

    // --- Operations ----------------------------------------------------------------------
    // Start-up: the working folder with a separator as the database folder, the table
    // password, the food table, the clone, the first totals (shown through OnShowTotals).
    // An error stops the remaining steps and propagates.
    void OpenRecipeTables();
    // The totals over every row of the clone; nothing while the clone is closed. When nothing
    // can see the clone move (no data source, no scroll handler, no calculated field, no
    // filter, browse state) and its fields are stored floats, the sums are read straight from
    // the clone's rows and the clone is left on its last row past the end, as the walk
    // leaves it: the same sums, in the same order, as walkCloneTotals.
    std::optional<RecipeTotals> ComputeTotals();
    // The totals by the walk itself: the clone moved from its first row to its end, each row's
    // values read through its fields.
    std::optional<RecipeTotals> walkCloneTotals();
    // A total as the labels show it: "#,##0.0" with the user's separators.
    AnsiString FormatTotal(double value) const;
    TotalsLabelSet formatTotals(const RecipeTotals& totals) const;
    // The food table's record filter: a row passes when its quantity is not 0.
    void AcceptQuantityRow(TDataSet* dataSet, bool& accept);
    // Only the rows with a quantity other than 0, and among them, while the find box holds a
    // word, those that match it.
    void ShowUsedRowsOnly();
    // Every row: the used-rows choice ends and the find box is emptied.
    void ShowAllRows();
    // The number of foods ZeroAllQuantities would change: the rows the food table shows whose
    // quantity is not 0, once the edit under way is ended as leaving the row would end it (a
    // value being typed is posted, an untouched new row goes).
    int QuantitiesToZero();
    // Sets every non-zero quantity of the rows the food table shows to 0, with the controls'
    // notifications held back, so that the grid redraws once and the totals are recomputed
    // once. Notifications resume even when a row fails.
    void ZeroAllQuantities();
    // Orders the food table by the field; none, or the field already giving the order,
    // changes nothing.
    void SortByField(TField* field);
    // The combo box's selected index: 0 searches "Gruppo", 1 "Nome", anything else changes
    // nothing.
    void SetSearchColumn(int index);
    // Saves the food table when it has unsaved changes. A value that a control still holds and
    // its field refuses raises the field's error with nothing discarded; a failed save discards
    // the unsaved changes and raises the error again.
    void SaveOnClose();

    // The data source's data-change handler: recomputes the totals and shows them. Once a
    // control has handed a value of the record being edited over (Enter in the grid, or going
    // on to another cell of the row), the totals shown count that record as its fields hold it
    // until the edit ends; the clone's walk still sees the stored rows only.
    void DataSource1DataChange(TDataSource* sender, TField* field);

    // Raised whenever the totals were recomputed and are to be shown: the window writes the
    // four texts into t1..t4.
    std::function<void(const TotalsLabelSet&)> OnShowTotals;

    // The food table's fields, in the file's order (the order of the names in Mancanti).
    std::vector<AnsiString> foodFieldNames() const;

    // The folder the food table was looked for in by the last start-up (empty before).
    const AnsiString& databaseFolder() const { return databaseFolder_; }
    // How many totals walks ran.
    int totalsComputations() const { return totalsComputations_; }

private:
    void showTotals();
    // --- The values a food row does not know (RecipeCalculatorValues.cpp) ---------------
    // While the food table opens: its Mancanti field bound when the file has one.
    void bindMissingValues();
    // While the food table opens: every float and text field of the file that has no field
    // yet gets one, hidden (the food card's values and source).
    void bindOtherFields();
    // A new row: every value field of the file that the window shows no column for (no
    // field, or a hidden one) is not known (a food typed in the window has only the four
    // values it shows).
    void markNewRowMissing();
    // A value of the window's typed (or cleared, which the window counts as 0): known.
    void noteValueChange(TField* field);
    // The walk over the clone's rows from its first to its end.
    RecipeTotals walkClone();
    // Whether nothing can see the clone move and its fields are stored floats: the sums can
    // then be read straight from its rows; the slots of quantity, carbohydrates, fats,
    // proteins and energy go to `offsets`.
    bool cloneIsQuiet(int32_t offsets[5]) const;
    // The clone's rows summed from the store, the clone then left where the walk leaves it.
    RecipeTotals sumCloneRows(const int32_t offsets[5]);
    // Whether the clone's rows, their values and the clone's place are those of the last sums.
    bool memoHolds() const;

    // The last sums read from the clone's rows, and what they were read from: the store and
    // its contents, the clone's list of rows, the clone's place afterwards. While all of it is
    // unchanged the sums are those sums again.
    struct TotalsMemo {
        const TZerovCursor* store = nullptr;
        uint64_t contents = 0;
        const void* rows = nullptr;
        size_t rowCount = 0;
        int recordNumber = 0;
        RecipeTotals totals;
    };
    std::optional<TotalsMemo> memo_;

    AnsiString databaseFolder_;
    int totalsComputations_ = 0;
    // A control handed a value of the edit under way over: the totals count that record.
    bool countEditedRecord_ = false;
};

} // namespace cibrano

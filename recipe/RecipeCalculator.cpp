#include "recipe/RecipeCalculator.h"

#include "dataset/DataLink.h"
#include "dataset/DataSource.h"
#include "platform/DatabaseError.h"
#include "platform/RunThenAlways.h"
#include "recipe/RecipeFoodRows.h"
#include "recipe/RecipeValues.h"

#include <filesystem>
#include <system_error>

namespace cibrano {

namespace {

// The float fields' patterns: grouped with one decimal when shown (as the totals), bare when
// edited.
constexpr const char* kAmountDisplayFormat = RecipeCalculator::kTotalFormat;
constexpr const char* kAmountEditFormat = "#.#";
// The clone's fields are only read; they show up to six decimals.
constexpr const char* kCloneDisplayFormat = "0.######";

TStringField* makeStringField(TDataSet* table, TComponent* owner, const char* name,
                              const char* fieldName, int size, int displayWidth) {
    auto* field = new TStringField(owner);
    field->setName(name);
    field->setFieldName(fieldName);
    field->setSize(size);
    if (displayWidth > 0)
        field->setDisplayWidth(displayWidth);
    field->setDataSet(table);
    return field;
}

TFloatField* makeFloatField(TDataSet* table, TComponent* owner, const char* name,
                            const char* fieldName, int displayWidth, const char* displayFormat,
                            const char* editFormat) {
    auto* field = new TFloatField(owner);
    field->setName(name);
    field->setFieldName(fieldName);
    if (displayWidth > 0)
        field->setDisplayWidth(displayWidth);
    field->setDisplayFormat(displayFormat);
    field->setEditFormat(editFormat);
    field->setDataSet(table);
    return field;
}

// The process's working folder, whatever its length.
AnsiString workingFolder() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (error)
        databaseError("Cannot read the working folder: " + error.message());
    return folder.string();
}

} // namespace

RecipeCalculator::RecipeCalculator(TComponent* owner) : TComponent(owner) {
    ZerovDatabase1 = new TZerovDatabase(this);
    ZerovDatabase1->setName("ZerovDatabase1");
    ZerovDatabase1->setDateFormat("mm/dd/yyyy");
    // The stored design value; start-up replaces it with the working folder.
    ZerovDatabase1->setDatabasePath("C:\\Documenti\\Cucina\\");

    Table1 = new TZerovTable(this);
    Table1->setName("Table1");
    Table1->setDatabase(ZerovDatabase1);
    Table1->setTableName(kTableName);
    Table1->setLoadMode(lmFile);
    Table1->setVersion("ZarazEV Engine v4.6");
    Table1->setFiltered(false);
    Table1->setOnFilterRecord(
        [this](TDataSet* dataSet, bool& accept) { AcceptQuantityRow(dataSet, accept); });

    Table1Gruppo = makeStringField(Table1, this, "Table1Gruppo", "Gruppo", 30, 25);
    Table1Nome = makeStringField(Table1, this, "Table1Nome", "Nome", 50, 51);
    Table1Quantita = makeFloatField(Table1, this, "Table1Quantita", "Quantita", 12,
                                    kAmountDisplayFormat, kAmountEditFormat);
    Table1Kcalorie = makeFloatField(Table1, this, "Table1Kcalorie", "Kcalorie", 12,
                                    kAmountDisplayFormat, kAmountEditFormat);
    Table1Glucidi = makeFloatField(Table1, this, "Table1Glucidi", "Glucidi", 12,
                                   kAmountDisplayFormat, kAmountEditFormat);
    Table1Lipidi = makeFloatField(Table1, this, "Table1Lipidi", "Lipidi", 12, kAmountDisplayFormat,
                                  kAmountEditFormat);
    Table1Proteine = makeFloatField(Table1, this, "Table1Proteine", "Proteine", 12,
                                    kAmountDisplayFormat, kAmountEditFormat);

    Table1->OnFieldsDescribed = [this](DOvuzaZerivir*) {
        bindMissingValues();
        bindOtherFields();
    };
    Table1->OnNewRecord = [this](TDataSet*) { markNewRowMissing(); };
    for (TField* value : {static_cast<TField*>(Table1Kcalorie), static_cast<TField*>(Table1Glucidi),
                          static_cast<TField*>(Table1Lipidi), static_cast<TField*>(Table1Proteine)})
        value->OnChange = [this](TField* field) { noteValueChange(field); };

    DataSource1 = new TDataSource(this);
    DataSource1->setName("DataSource1");
    DataSource1->setDataSet(Table1);
    DataSource1->OnDataChange = [this](TDataSource* sender, TField* field) {
        DataSource1DataChange(sender, field);
    };

    Table2 = new TZerovTable(this);
    Table2->setName("Table2");
    Table2->setDatabase(ZerovDatabase1);
    Table2->setCloneDS(Table1);
    Table2->setLoadMode(lmClone);

    Table2GRUPPO = makeStringField(Table2, this, "Table2GRUPPO", "GRUPPO", 30, 0);
    Table2NOME = makeStringField(Table2, this, "Table2NOME", "NOME", 50, 0);
    Table2QUANTITA =
        makeFloatField(Table2, this, "Table2QUANTITA", "QUANTITA", 0, kCloneDisplayFormat, "");
    Table2KCALORIE =
        makeFloatField(Table2, this, "Table2KCALORIE", "KCALORIE", 0, kCloneDisplayFormat, "");
    Table2GLUCIDI =
        makeFloatField(Table2, this, "Table2GLUCIDI", "GLUCIDI", 0, kCloneDisplayFormat, "");
    Table2LIPIDI =
        makeFloatField(Table2, this, "Table2LIPIDI", "LIPIDI", 0, kCloneDisplayFormat, "");
    Table2PROTEINE =
        makeFloatField(Table2, this, "Table2PROTEINE", "PROTEINE", 0, kCloneDisplayFormat, "");

    ZerovFindEdit1 = new TZerovFindEdit(this);
    ZerovFindEdit1->setName("ZerovFindEdit1");
    ZerovFindEdit1->setDataSource(DataSource1);
    ZerovFindEdit1->setDataField("Nome");
    ZerovFindEdit1->setFindStyle(vfsFilter);
    ZerovFindEdit1->setFindMode(vfmAnyPos);
}

RecipeCalculator::~RecipeCalculator() {
    // The components go last created first: the clone's fields before the clone, the food
    // table's before the food table. Closing the tables first (the clone before its source)
    // spares every field the removal from an open dataset. Nothing is saved here.
    OnShowTotals = nullptr;
    DataSource1->OnDataChange = nullptr;
    try {
        Table2->close();
        Table1->close();
    } catch (...) {
        // A destructor cannot report; the tables still close as they go.
    }
}

void RecipeCalculator::OpenRecipeTables() {
    // The folder always ends in exactly one separator. The system writes the working folder
    // without a trailing "/" except for the root, which keeps its own instead of getting a
    // second one.
    AnsiString folder = workingFolder();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    databaseFolder_ = folder;
    ZerovDatabase1->setDatabasePath(databaseFolder_);
    Table1->setPassword(kTablePassword);
    Table1->open();
    Table2->open();
    showTotals();
}

std::optional<RecipeTotals> RecipeCalculator::ComputeTotals() {
    if (!Table2->Active())
        return std::nullopt;
    ++totalsComputations_;
    // The clone's rows are its own list, made when it opened: rows the food table added or
    // deleted since then enter or leave it here, before the walk, so that they count at once.
    Table2->refreshViewFromStore();
    int32_t offsets[5];
    if (!cloneIsQuiet(offsets)) {
        memo_.reset();
        return walkClone();
    }
    // Most data changes (a move, entering an edit, a value typed but not posted, a filter on
    // the food table) leave the clone's rows and their stored values as they were: the sums
    // are then the last ones, and the clone still stands where they left it.
    if (memoHolds())
        return memo_->totals;
    const RecipeTotals totals = sumCloneRows(offsets);
    const RecordView& rows = Table2->recordView();
    memo_ = TotalsMemo{Table2->store(),
                       Table2->store()->contentVersion(),
                       rows.data(),
                       rows.size(),
                       Table2->recordNumber(),
                       totals};
    return totals;
}

std::optional<RecipeTotals> RecipeCalculator::walkCloneTotals() {
    if (!Table2->Active())
        return std::nullopt;
    Table2->refreshViewFromStore();
    return walkClone();
}

RecipeTotals RecipeCalculator::walkClone() {
    Table2->moveFirst();
    RecipeTotals totals;
    while (!Table2->atEnd()) {
        const double quantity = Table2QUANTITA->floatValue();
        totals.Glucidi += Table2GLUCIDI->floatValue() * quantity / 100;
        totals.Lipidi += Table2LIPIDI->floatValue() * quantity / 100;
        totals.Proteine += Table2PROTEINE->floatValue() * quantity / 100;
        totals.Kcalorie += Table2KCALORIE->floatValue() * quantity / 100;
        Table2->moveNext();
    }
    return totals;
}

bool RecipeCalculator::cloneIsQuiet(int32_t offsets[5]) const {
    const TZerovTable& clone = *Table2;
    // Anything that would see the walk's moves, or read a value otherwise than from its slot,
    // leaves the work to the walk.
    if (clone.State() != stateBrowse || clone.Filtered() || clone.hasDataSources() ||
        clone.BeforeScroll || clone.AfterScroll || clone.calcFieldsSize() != 0 ||
        clone.hasInternalCalcFields() || !clone.store())
        return false;
    // Quantity first, then the nutrients in the order the sums take them.
    const TFloatField* fields[5] = {Table2QUANTITA, Table2GLUCIDI, Table2LIPIDI, Table2PROTEINE,
                                    Table2KCALORIE};
    for (int k = 0; k < 5; ++k) {
        const TZerovField* stored = clone.storedField(fields[k]);
        // A float field reads its slot's eight bytes as they are; zero is a value.
        if (!stored || fields[k]->DataType() != ftFloat || fields[k]->dataSize() != 8 ||
            stored->storageKind != kindFloat || stored->dataSize != 8)
            return false;
        offsets[k] = stored->slotOffset;
    }
    return true;
}

bool RecipeCalculator::memoHolds() const {
    const TZerovTable& clone = *Table2;
    const RecordView& rows = clone.recordView();
    // An order or a range of the clone's own could change the order of the sums.
    return memo_ && clone.IndexFieldNames().empty() && !clone.rangeActive() &&
           memo_->store == clone.store() && memo_->contents == clone.store()->contentVersion() &&
           memo_->rows == rows.data() && memo_->rowCount == rows.size() && clone.atEnd() &&
           memo_->recordNumber == clone.recordNumber();
}

RecipeTotals RecipeCalculator::sumCloneRows(const int32_t offsets[5]) {
    RecipeTotals totals;
    const RecordView& rows = Table2->recordView();
    // The rows lie apart in memory: the entries some rows ahead, then their records, are asked
    // for before they are read, so that the loads overlap instead of waiting one by one.
    constexpr size_t kEntriesAhead = 16;
    constexpr size_t kRecordsAhead = 8;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i + kEntriesAhead < rows.size())
            __builtin_prefetch(rows[i + kEntriesAhead]);
        if (i + kRecordsAhead < rows.size())
            __builtin_prefetch(rows[i + kRecordsAhead]->data);
        const RecordEntry* entry = rows[i];
        // A row removed through another dataset since the view was made shows empty: zeros.
        if (!entry->data)
            continue;
        const uint8_t* data = entry->data;
        const double quantity = readSlot<double>(data + offsets[0]);
        totals.Glucidi += readSlot<double>(data + offsets[1]) * quantity / 100;
        totals.Lipidi += readSlot<double>(data + offsets[2]) * quantity / 100;
        totals.Proteine += readSlot<double>(data + offsets[3]) * quantity / 100;
        totals.Kcalorie += readSlot<double>(data + offsets[4]) * quantity / 100;
    }
    // Where the walk leaves the clone: past the end on its last row (an empty clone at its
    // start and end at once).
    if (Table2->recordView().empty())
        Table2->moveFirst();
    else
        Table2->moveLast();
    return totals;
}

AnsiString RecipeCalculator::FormatTotal(double value) const {
    return formatRecipeValue(value);
}

TotalsLabelSet RecipeCalculator::formatTotals(const RecipeTotals& totals) const {
    return formatRecipeTotals(totals);
}

void RecipeCalculator::showTotals() {
    std::optional<RecipeTotals> totals = ComputeTotals();
    const DatasetState state = Table1->State();
    if (state != stateEdit && state != stateInsert)
        countEditedRecord_ = false;
    if (totals && countEditedRecord_) {
        // The stored rows in stored order with the edited record's values in its place: the
        // sums the walk gives once the record is posted.
        std::vector<RecipeLine> lines;
        for (FoodRowNow& row : foodRowsAsEdited(*this))
            lines.push_back(std::move(row.line));
        totals = sumRecipeLines(lines);
    }
    if (totals && OnShowTotals)
        OnShowTotals(formatTotals(*totals));
}

namespace {

// Whether a control is writing its text into the dataset's fields right now.
bool controlHandingOver(const TDataSource& source) {
    for (int i = 0; i < source.linkCount(); ++i)
        if (source.link(i)->isUpdating())
            return true;
    return false;
}

} // namespace

void RecipeCalculator::DataSource1DataChange(TDataSource* sender, TField* field) {
    const DatasetState state = Table1->State();
    if (field && sender && (state == stateEdit || state == stateInsert) &&
        controlHandingOver(*sender))
        countEditedRecord_ = true;
    showTotals();
}

void RecipeCalculator::AcceptQuantityRow(TDataSet*, bool& accept) {
    accept = Table1Quantita->floatValue() != 0;
}

void RecipeCalculator::ShowUsedRowsOnly() {
    // Under a search word the find box's handler filters the table and runs the quantity
    // filter only as the table's own Filtered was when the search began: the box keeps the
    // new setting, so that the rows shown are the used ones holding the word.
    ZerovFindEdit1->setFilteredUnderSearch(Table1, true);
}

void RecipeCalculator::ShowAllRows() {
    // Every row: the search word goes as well, at once, and the next word searches them all.
    ZerovFindEdit1->clearSearch();
    Table1->setFiltered(false);
}

int RecipeCalculator::QuantitiesToZero() {
    settleFoodTable(*this);
    const StoredField quantity(*Table1, Table1Quantita);
    int count = 0;
    for (const RecordEntry* e : Table1->recordView())
        if (e->isLive() && e->data && quantity.number(e->data) != 0)
            ++count;
    return count;
}

void RecipeCalculator::ZeroAllQuantities() {
    Table1->suspendControls();
    runThenAlways(
        [this] {
            Table1->moveFirst();
            while (!Table1->atEnd()) {
                if (Table1Quantita->floatValue() != 0) {
                    Table1->beginEdit();
                    Table1Quantita->setFloatValue(0.0);
                    Table1->postRecord();
                }
                Table1->moveNext();
            }
            Table1->moveFirst();
        },
        [this] { Table1->resumeControls(); });
}

void RecipeCalculator::SortByField(TField* field) {
    if (!field || Table1->IndexFieldNames() == field->FieldName())
        return;
    Table1->setIndexFieldNames(field->FieldName());
}

void RecipeCalculator::SetSearchColumn(int index) {
    if (index == 0)
        ZerovFindEdit1->setDataField("Gruppo");
    else if (index == 1)
        ZerovFindEdit1->setDataField("Nome");
}

void RecipeCalculator::SaveOnClose() {
    if (!Table1->hasUnsavedChanges())
        return;
    // The text still in the controls goes into the record first. A value the field refuses is
    // the user's typing mistake, not a failed save: its error ends the close here, with every
    // change kept and the text left in its control to be corrected or abandoned.
    const DatasetState state = Table1->State();
    if (state == stateEdit || state == stateInsert)
        Table1->collectControlEdits();
    try {
        // The pending edit is posted first. A new row the grid started and nobody filled is
        // cancelled on the way instead: alone it is no change, and then nothing is written.
        if (state == stateEdit || state == stateInsert)
            Table1->postRecord();
        if (!Table1->hasUnsavedChanges())
            return;
        Table1->saveChanges();
    } catch (...) {
        // The save's own error is the one the user needs to see; a failure to discard must not
        // take its place.
        try {
            Table1->discardChanges();
        } catch (...) {
        }
        throw;
    }
}

} // namespace cibrano

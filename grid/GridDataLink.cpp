#include "grid/GridDataLink.h"

#include "dataset/DataSet.h"
#include "dataset/Field.h"
#include "grid/CustomDBGrid.h"
#include "grid/GridConsts.h"
#include "platform/DatabaseError.h"
#include "platform/RunThenAlways.h"

namespace cibrano {

TGridDataLink::TGridDataLink(TCustomDBGrid* grid) : grid_(grid) {
    setVisualControl(true);
}

// --- The column map ------------------------------------------------------------------------

int TGridDataLink::grownMapSize(int size, int count) {
    if (count >= kMaxMapSize)
        databaseError(gridconsts::kTooManyColumns);
    if (count < size)
        return size;
    long long grown = size == 0 ? 8 : 2LL * size;
    if (grown < count)
        grown = count + 1LL;
    if (grown > kMaxMapSize)
        grown = kMaxMapSize;
    return static_cast<int>(grown);
}

void TGridDataLink::addMapping(const AnsiString& fieldName) {
    const int size = grownMapSize(mapSize(), fieldCount_);
    TDataSet* ds = dataSet();
    TField* field = nullptr;
    if (ds)
        field = sparseMap_ ? ds->findField(fieldName) : ds->fieldByName(fieldName);
    if (size != mapSize())
        map_.resize(static_cast<size_t>(size), -1);
    map_[static_cast<size_t>(fieldCount_)] = field ? field->Index() : -1;
    ++fieldCount_;
}

void TGridDataLink::clearMapping() {
    map_.clear();
    fieldCount_ = 0;
}

TField* TGridDataLink::fields(int index) const {
    if (index < 0 || index >= fieldCount_)
        return nullptr;
    const int fieldIndex = map_[static_cast<size_t>(index)];
    TDataSet* ds = dataSet();
    if (fieldIndex < 0 || !ds || fieldIndex >= ds->fieldCount())
        return nullptr;
    return ds->Fields()[fieldIndex];
}

// --- Editing ---------------------------------------------------------------------------------

void TGridDataLink::reset() {
    if (modified_)
        notifyRecordChange(nullptr);
    else if (TDataSet* ds = dataSet())
        ds->cancelRecord();
}

// --- Notifications ---------------------------------------------------------------------------

void TGridDataLink::notifyActiveChange() {
    grid_->linkActive(Active());
    modified_ = false;
}

void TGridDataLink::notifyCheckBrowse() {
    // The dataset is about to post or cancel: a new row of the grid's that stayed empty is
    // cancelled instead of being stored.
    grid_->cancelEmptyInsert();
}

void TGridDataLink::notifyDatasetChange() {
    grid_->dataChanged();
    modified_ = false;
}

void TGridDataLink::notifyDatasetScroll(int distance) {
    grid_->scroll(distance);
}

void TGridDataLink::notifyEditingChange() {
    grid_->editingChanged();
}

void TGridDataLink::notifyFocusControl(TField** fieldRef) {
    if (!fieldRef || !*fieldRef)
        return;
    grid_->setSelectedField(*fieldRef);
    if (grid_->SelectedField() == *fieldRef && grid_->acquireFocus()) {
        *fieldRef = nullptr;
        grid_->showEditor();
    }
}

void TGridDataLink::notifyLayoutChange() {
    grid_->layoutChanged();
    TDataLink::notifyLayoutChange();
}

void TGridDataLink::notifyRecordChange(TField* field) {
    grid_->recordChanged(field);
    // Another field of the record changing leaves the text typed into the selected cell
    // pending: only a change of that field itself, or of the whole record, replaces it.
    if (!field || field == grid_->SelectedField())
        modified_ = false;
}

void TGridDataLink::requestUpdateData() {
    inUpdateData_ = true;
    runThenAlways(
        [&] {
            if (modified_)
                grid_->updateData();
            modified_ = false;
        },
        [&] { inUpdateData_ = false; });
}

} // namespace cibrano

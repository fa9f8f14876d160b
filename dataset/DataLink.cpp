#include "dataset/DataLink.h"

#include "dataset/DataSet.h"
#include "dataset/DataSource.h"
#include "dataset/DbConsts.h"
#include "dataset/FirstError.h"
#include "platform/DatabaseError.h"
#include "platform/RunThenAlways.h"

#include <algorithm>

namespace cibrano {

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
    active_ = false;
    editing_ = false;
    sourceFixed_ = false;
    if (dataSource_)
        dataSource_->removeLink(this);
}

TDataSet* TDataLink::dataSet() const {
    return dataSource_ ? dataSource_->DataSet() : nullptr;
}

void TDataLink::setDataSource(TDataSource* source) {
    if (source == dataSource_)
        return;
    if (sourceFixed_)
        databaseError(dbconsts::kDataSourceChange, dataSource_);
    if (dataSource_) {
        // Leaving runs this link's handlers, which may free it or the new source.
        const TLifeMark::Watch self = watchLife();
        const bool hasNew = source != nullptr;
        const TLifeMark::Watch target = hasNew ? source->lifeMark_.watch() : self;
        dataSource_->removeLink(this);
        if (!self.alive() || (hasNew && !target.alive()) || dataSource_)
            return;
    }
    if (source)
        source->addLink(this);
}

void TDataLink::setReadOnly(bool value) {
    if (readOnly_ == value)
        return;
    readOnly_ = value;
    updateState();
}

void TDataLink::updateState() {
    DatasetState s = dataSource_ ? dataSource_->State() : stateInactive;
    const TLifeMark::Watch self = watchLife();
    TFirstError error;
    error.run([&] { setActive(dataSource_ && s != stateInactive); });
    if (self.alive()) {
        // The activation's handlers may have moved the link or changed the dataset's state.
        s = dataSource_ ? dataSource_->State() : stateInactive;
        error.run([&] {
            setEditing(dataSource_ && (s == stateEdit || s == stateInsert || s == stateSetKey) &&
                       !readOnly_);
        });
    }
    error.rethrow();
}

void TDataLink::setActive(bool value) {
    if (active_ == value)
        return;
    active_ = value;
    if (value)
        updateRange();
    else
        firstVisible_ = 0;
    notifyActiveChange();
}

void TDataLink::setEditing(bool value) {
    if (editing_ == value)
        return;
    editing_ = value;
    notifyEditingChange();
}

void TDataLink::updateRange() {
    TDataSet* ds = dataSet();
    if (!ds)
        return;
    const int a = ds->activeIndex_;
    const int b = bufferCount_;
    const int w = ds->bufferCount_;
    int low = std::max(0, a - b + 1);
    int high = std::min(std::max(0, w - b), a);
    if (firstVisible_ < low)
        firstVisible_ = low;
    if (firstVisible_ > high)
        firstVisible_ = high;
    if (firstVisible_ > 0 && a - firstVisible_ < b - 1)
        --firstVisible_;
}

void TDataLink::setBufferCount(int count) {
    // A link always shows at least one record.
    count = std::max(count, 1);
    if (bufferCount_ == count)
        return;
    bufferCount_ = count;
    if (active_ && dataSet()) {
        updateRange();
        // Filling the dataset's window runs handlers, which may free this link.
        const TLifeMark::Watch self = watchLife();
        dataSet()->updateBufferCount();
        if (self.alive())
            updateRange();
    }
}

int TDataLink::activeRecord() const {
    TDataSet* ds = dataSet();
    if (!ds || dataSource_->State() == stateSetKey)
        return 0;
    return ds->activeIndex_ - firstVisible_;
}

void TDataLink::setActiveRecord(int index) {
    TDataSet* ds = dataSet();
    if (!ds || dataSource_->State() == stateSetKey)
        return;
    ds->setLinkActiveIndex(index + firstVisible_);
}

int TDataLink::recordCount() const {
    TDataSet* ds = dataSet();
    if (!ds)
        return 0;
    if (dataSource_->State() == stateSetKey)
        return 1;
    return std::min(bufferCount_, ds->filledCount_);
}

bool TDataLink::edit() {
    const TLifeMark::Watch self = watchLife();
    if (!readOnly_ && dataSource_)
        dataSource_->edit();
    return self.alive() && editing_;
}

// Without a dataset there is no record before or after, and nothing to move over.
bool TDataLink::atBeginning() const {
    TDataSet* ds = dataSet();
    return !ds || ds->atBeginning();
}

bool TDataLink::atEnd() const {
    TDataSet* ds = dataSet();
    return !ds || ds->atEnd();
}

int TDataLink::moveByDistance(int distance) {
    TDataSet* ds = dataSet();
    return ds ? ds->moveByDistance(distance) : 0;
}

void TDataLink::collectPendingEdit() {
    const TLifeMark::Watch self = watchLife();
    updating_ = true;
    runThenAlways([&] { requestUpdateData(); },
                  [&] {
                      if (self.alive())
                          updating_ = false;
                  });
}

void TDataLink::notifyDatasetChange() {
    notifyRecordChange(nullptr);
}

void TDataLink::notifyDatasetScroll(int) {
    notifyDatasetChange();
}

void TDataLink::notifyLayoutChange() {
    notifyDatasetChange();
}

void TDataLink::deliverDataEvent(DataEventKind kind, intptr_t info) {
    if (kind == evUpdateState) {
        updateState();
        return;
    }
    if (!active_)
        return;
    switch (kind) {
    case evFieldChange:
    case evRecordChange:
        if (!updating_)
            notifyRecordChange(eventField(info));
        break;
    case evDatasetChange:
    case evDatasetScroll:
    case evLayoutChange: {
        int shift = 0;
        if (dataSet() && dataSource_->State() != stateSetKey) {
            const int a = dataSet()->activeIndex_;
            const int first =
                firstVisible_ + (kind == evDatasetScroll ? static_cast<int>(info) : 0);
            const int last = first + bufferCount_ - 1;
            if (a > last)
                shift = a - last;
            else if (a < first)
                shift = a - first;
            firstVisible_ = first + shift;
        }
        if (kind == evDatasetChange)
            notifyDatasetChange();
        else if (kind == evDatasetScroll)
            notifyDatasetScroll(shift);
        else
            notifyLayoutChange();
        break;
    }
    case evUpdateRecord:
        collectPendingEdit();
        break;
    case evCheckBrowseMode:
        notifyCheckBrowse();
        break;
    case evFocusControl:
        notifyFocusControl(eventFieldRef(info));
        break;
    default:
        break;
    }
}

} // namespace cibrano

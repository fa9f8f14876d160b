#include "dataset/DataLink.h"
#include "dataset/DataSet.h"
#include "dataset/DataSource.h"
#include "dataset/DbConsts.h"
#include "dataset/Field.h"
#include "dataset/FirstError.h"
#include "platform/DatabaseError.h"
#include "platform/RunThenAlways.h"

#include <algorithm>

// States, notifications, calculated fields and the published events of TDataSet.

namespace cibrano {

void TDataSet::setState(DatasetState state) {
    if (state_ == state)
        return;
    state_ = state;
    modified_ = false;
    raiseDataEvent(evUpdateState);
}

DatasetState TDataSet::setTempState(DatasetState state) {
    DatasetState saved = state_;
    savedModified_.push_back(modified_);
    state_ = state;
    ++suspendCount_;
    modified_ = false;
    return saved;
}

void TDataSet::restoreState(DatasetState saved) {
    state_ = saved;
    if (suspendCount_ > 0)
        --suspendCount_;
    // A temporary state entered during an edit (a lookup, a recalculation) must not make the
    // edit look unchanged: that would cancel it at the next move instead of posting it.
    if (!savedModified_.empty()) {
        modified_ = savedModified_.back();
        savedModified_.pop_back();
    } else {
        modified_ = false;
    }
}

bool TDataSet::computing() const {
    switch (state_) {
    case stateCalcFields:
    case stateFilter:
    case stateInternalCalc:
    case stateNewValue:
    case stateOldValue:
    case stateCurValue:
        return true;
    default:
        return false;
    }
}

void TDataSet::checkNotComputing() const {
    if (computing())
        databaseError(dbconsts::kDataSetBusy, this);
}

void TDataSet::suspendControls() {
    if (suspendCount_ == 0) {
        suspendState_ = state_;
        resumeEvent_ = evDatasetChange;
    }
    ++suspendCount_;
}

void TDataSet::resumeControls() {
    if (suspendCount_ == 0)
        return;
    if (--suspendCount_ > 0)
        return;
    if (state_ != suspendState_)
        raiseDataEvent(evUpdateState);
    if (suspendState_ != stateInactive && state_ != stateInactive)
        raiseDataEvent(resumeEvent_);
}

void TDataSet::raiseDataEvent(DataEventKind kind, intptr_t info) {
    switch (kind) {
    case evFieldChange:
        fieldChanged(eventField(info));
        break;
    case evPropertyChange:
        fieldDefs_.setUpdated(false);
        break;
    default:
        break;
    }
    if (suspendCount_ > 0 || state_ == stateBlockRead) {
        if (kind == evLayoutChange || (kind == evUpdateState && state_ == stateInactive))
            resumeEvent_ = evLayoutChange;
        // Block reading still moves detail datasets and other non-visual followers.
        if (suspendCount_ == 0 && (kind == evDatasetChange || kind == evDatasetScroll))
            for (TDataSource* s : std::vector<TDataSource*>(dataSources_))
                if (std::find(dataSources_.begin(), dataSources_.end(), s) != dataSources_.end())
                    s->deliverToLinks(kind, info, false);
        return;
    }
    // A handler may detach or free a source that has not heard the event yet; an error raised
    // through one source is passed on once the others have heard the event.
    TFirstError error;
    for (TDataSource* s : std::vector<TDataSource*>(dataSources_))
        if (std::find(dataSources_.begin(), dataSources_.end(), s) != dataSources_.end())
            error.run([&] { s->deliverEvent(kind, info); });
    error.rethrow();
}

void TDataSet::fieldChanged(TField* field) {
    if (!field)
        return;
    TFieldKind kind = field->FieldKind();
    if (kind == fkData || kind == fkInternalCalc)
        modified_ = true;
    if (state_ != stateSetKey && kind == fkData) {
        if (internalCalcFields_)
            refreshInternalCalcFields(activeBuffer());
        else if (calcFieldsSize_ != 0 && autoCalcFields_)
            computeCalcFields(activeBuffer());
    }
    field->change();
}

void TDataSet::computeCalcFields(uint8_t* buffer) {
    if (!buffer || (calcFieldsSize_ == 0 && !internalCalcFields_))
        return;
    DatasetState saved = setTempState(stateCalcFields);
    runThenAlways([&] { calculateFields(buffer); }, [&] { restoreState(saved); });
}

void TDataSet::refreshInternalCalcFields(uint8_t* buffer) {
    if (!buffer)
        return;
    DatasetState saved = setTempState(stateInternalCalc);
    runThenAlways([&] { calculateFields(buffer); }, [&] { restoreState(saved); });
}

void TDataSet::calculateFields(uint8_t* buffer) {
    calcBuffer_ = buffer;
    if (state_ != stateInternalCalc) {
        clearCalcArea(buffer);
        for (TField* f : fields_) {
            if (f->FieldKind() != fkLookup || !f->LookupDataSet() || f->KeyFields().empty())
                continue;
            std::vector<AnsiString> keys;
            bool complete = true;
            for (TField* k : getFieldList(f->KeyFields())) {
                if (k->isNull()) {
                    complete = false;
                    break;
                }
                keys.push_back(k->stringValue());
            }
            AnsiString text;
            if (complete && f->LookupDataSet()->lookupText(f->LookupKeyFields(), keys,
                                                           f->LookupResultField(), text))
                f->setStringValue(text);
        }
    }
    if (OnCalcFields)
        OnCalcFields(this);
}

// --- Data sources ------------------------------------------------------------------------

void TDataSet::addDataSource(TDataSource* source) {
    dataSources_.push_back(source);
    source->dataSet_ = this;
    // Filling the window runs handlers, which may free the source.
    const TLifeMark::Watch watch = source->lifeMark_.watch();
    runThenAlways([&] { updateBufferCount(); },
                  [&] {
                      if (watch.alive())
                          source->updateState();
                  });
}

void TDataSet::removeDataSource(TDataSource* source) {
    source->dataSet_ = nullptr;
    dataSources_.erase(std::remove(dataSources_.begin(), dataSources_.end(), source),
                       dataSources_.end());
    // The chain of links is rebuilt without the source's links even when a handler raises.
    runThenAlways([&] { source->updateState(); }, [&] { updateBufferCount(); });
}

// --- Published events --------------------------------------------------------------------

namespace {
void fire(const TDataSet::TDataSetNotifyEvent& event, TDataSet* dataSet) {
    if (event)
        event(dataSet);
}
} // namespace

void TDataSet::doBeforeOpen() {
    fire(BeforeOpen, this);
}
void TDataSet::doAfterOpen() {
    fire(AfterOpen, this);
}
void TDataSet::doBeforeClose() {
    fire(BeforeClose, this);
}
void TDataSet::doAfterClose() {
    fire(AfterClose, this);
}
void TDataSet::doBeforeInsert() {
    fire(BeforeInsert, this);
}
void TDataSet::doAfterInsert() {
    fire(AfterInsert, this);
}
void TDataSet::doBeforeEdit() {
    fire(BeforeEdit, this);
}
void TDataSet::doAfterEdit() {
    fire(AfterEdit, this);
}
void TDataSet::doBeforePost() {
    fire(BeforePost, this);
}
void TDataSet::doAfterPost() {
    fire(AfterPost, this);
}
void TDataSet::doBeforeCancel() {
    fire(BeforeCancel, this);
}
void TDataSet::doAfterCancel() {
    fire(AfterCancel, this);
}
void TDataSet::doBeforeDelete() {
    fire(BeforeDelete, this);
}
void TDataSet::doAfterDelete() {
    fire(AfterDelete, this);
}
void TDataSet::doBeforeScroll() {
    fire(BeforeScroll, this);
}
void TDataSet::doAfterScroll() {
    fire(AfterScroll, this);
}
void TDataSet::doOnNewRecord() {
    fire(OnNewRecord, this);
}

} // namespace cibrano

#include "dataset/DataSet.h"
#include "dataset/DbConsts.h"
#include "platform/DatabaseError.h"
#include "platform/RunThenAlways.h"

// The edit cycle of TDataSet: edit, insert, append, post, cancel, delete, and the settling
// of a pending edit before every move.
//
// After each step that runs handlers (the published events, the notifications, the engine's
// steps that raise events of their own) an operation looks at the state again and ends
// silently when a handler closed the dataset or ended or started an edit meanwhile.

namespace cibrano {

namespace {
bool editing(DatasetState state) {
    return state == stateEdit || state == stateInsert;
}
bool browsing(DatasetState state) {
    return state == stateBrowse || state == stateBlockRead;
}
} // namespace

void TDataSet::beginEdit() {
    if (state_ == stateEdit || state_ == stateInsert)
        return;
    if (filledCount_ == 0) {
        beginInsert();
        return;
    }
    settlePendingEdit();
    const DatasetState before = state_;
    if (!browsing(before))
        return;
    checkCanModify();
    doBeforeEdit();
    if (state_ != before || filledCount_ == 0)
        return;
    updateCursorPosition();
    prepareEdit();
    computeCalcFields(activeBuffer());
    setState(stateEdit);
    if (state_ != stateEdit)
        return;
    raiseDataEvent(evRecordChange);
    doAfterEdit();
}

bool TDataSet::beginInsertOrAppend() {
    settlePendingEdit();
    const DatasetState before = state_;
    if (!browsing(before))
        return false;
    checkCanModify();
    doBeforeInsert();
    if (state_ != before)
        return false;
    try {
        doBeforeScroll();
    } catch (...) {
        insertAbandoned();
        throw;
    }
    if (state_ != before) {
        insertAbandoned();
        return false;
    }
    return true;
}

void TDataSet::initNewBuffer(uint8_t* buffer) {
    clearRecordBuffer(buffer);
    clearCalcArea(buffer);
    setBookmarkFlagOf(buffer, bookmarkInserted);
}

void TDataSet::beginInsert() {
    if (!beginInsertOrAppend())
        return;
    const bool loaded = filledCount_ > 0;
    TBookmark current = loaded ? copyBookmarkOut(activeBuffer()) : nullptr;
    moveBuffer(filledCount_, activeIndex_);
    // The buffers from the active one on moved down a place: the cursor's buffer index no
    // longer names the record it stands on.
    cursorPositionChanged();
    uint8_t* buffer = activeBuffer();
    initNewBuffer(buffer);
    if (loaded)
        copyBookmarkIn(buffer, current);
    else
        setBookmarkFlagOf(buffer, bookmarkBOF);
    if (filledCount_ < bufferCount_)
        ++filledCount_;
    endInsertOrAppend();
}

void TDataSet::beginAppend() {
    if (!beginInsertOrAppend())
        return;
    clearWindow();
    uint8_t* buffer = bufferAt(0);
    initNewBuffer(buffer);
    setBookmarkFlagOf(buffer, bookmarkEOF);
    filledCount_ = 1;
    bof_ = false;
    try {
        fillBackward();
    } catch (...) {
        // The new record is not set up: the window shows the stored records again.
        insertAbandoned();
        cursorPositionChanged();
        refillAfterError();
        throw;
    }
    endInsertOrAppend();
}

void TDataSet::endInsertOrAppend() {
    bool newRecordStarted = false;
    try {
        setState(stateInsert);
        // A state-change handler that closed the dataset or cancelled has ended the insert.
        if (state_ != stateInsert)
            return;
        newRecordStarted = true;
        doOnNewRecord();
    } catch (...) {
        // The engine's new-record step gives back what it counted itself.
        if (!newRecordStarted)
            insertAbandoned();
        // Only an insert still under way goes back to browsing here.
        if (state_ == stateInsert) {
            updateCursorPosition();
            freeFieldBuffers();
            try {
                setState(stateBrowse);
            } catch (...) {
                // The error that ended the insert is the one to report.
            }
            if (state_ == stateBrowse)
                refillAfterError();
        }
        throw;
    }
    modified_ = false;
    raiseDataEvent(evDatasetChange);
    doAfterInsert();
    doAfterScroll();
}

void TDataSet::refillAfterError() {
    try {
        refillBuffers(false, false);
    } catch (...) {
        clearWindow();
        try {
            raiseDataEvent(evDatasetChange);
        } catch (...) {
        }
    }
}

void TDataSet::backToBrowsing() {
    // The window is refilled even when a state-change handler raises: left as it is, it would
    // show the record that was being edited or inserted as if it were stored.
    runThenAlways([&] { setState(stateBrowse); },
                  [&] {
                      if (state_ == stateBrowse)
                          refillBuffers(false, false);
                  });
}

void TDataSet::postRecord() {
    collectControlEdits();
    const DatasetState before = state_;
    if (!editing(before))
        return;
    raiseDataEvent(evCheckBrowseMode);
    if (state_ != before)
        return;
    checkRequiredFields();
    doBeforePost();
    if (state_ != before)
        return;
    updateCursorPosition();
    storeEditedRecord();
    if (state_ != before)
        return;
    freeFieldBuffers();
    backToBrowsing();
    doAfterPost();
}

void TDataSet::cancelRecord() {
    if (!editing(state_))
        return;
    raiseDataEvent(evCheckBrowseMode);
    const DatasetState before = state_;
    if (!editing(before))
        return;
    doBeforeCancel();
    if (state_ != before)
        return;
    const bool scrolls = before == stateInsert;
    if (scrolls) {
        doBeforeScroll();
        if (state_ != before)
            return;
    }
    updateCursorPosition();
    discardEdits();
    if (state_ != before)
        return;
    freeFieldBuffers();
    backToBrowsing();
    doAfterCancel();
    if (scrolls)
        doAfterScroll();
}

void TDataSet::deleteRecord() {
    checkActive();
    checkNotComputing();
    if (state_ == stateInsert || state_ == stateSetKey) {
        cancelRecord();
        return;
    }
    if (filledCount_ == 0)
        databaseError(dbconsts::kDataSetEmpty, this);
    const DatasetState before = state_;
    // Handlers may close the dataset, end the edit or delete the last record meanwhile.
    auto left = [&] { return state_ != before || filledCount_ == 0; };
    raiseDataEvent(evCheckBrowseMode);
    if (left())
        return;
    doBeforeDelete();
    if (left())
        return;
    doBeforeScroll();
    if (left())
        return;
    updateCursorPosition();
    deleteCurrentRecord();
    if (state_ != before)
        return;
    freeFieldBuffers();
    backToBrowsing();
    doAfterDelete();
    doAfterScroll();
}

void TDataSet::settlePendingEdit() {
    // Every move comes here first: the checks are asked out of line only when they fail.
    if (!Active())
        checkActive();
    if (computing())
        checkNotComputing();
    raiseDataEvent(evCheckBrowseMode);
    switch (state_) {
    case stateEdit:
    case stateInsert:
        collectControlEdits();
        // A control's handler may have ended the edit already.
        if (!editing(state_))
            break;
        if (modified_)
            postRecord();
        else
            cancelRecord();
        break;
    case stateSetKey:
        postRecord();
        break;
    default:
        break;
    }
}

void TDataSet::collectControlEdits() {
    if (state_ != stateEdit && state_ != stateInsert && state_ != stateSetKey)
        databaseError(dbconsts::kNotEditing, this);
    raiseDataEvent(evUpdateRecord);
}

} // namespace cibrano

#include "dataset/DataSet.h"
#include "dataset/DbConsts.h"
#include "platform/DatabaseError.h"

// The edit cycle of TDataSet: edit, insert, append, post, cancel, delete, and the settling
// of a pending edit before every move.

namespace cibrano {

void TDataSet::beginEdit() {
    if (state_ == stateEdit || state_ == stateInsert)
        return;
    if (filledCount_ == 0) {
        beginInsert();
        return;
    }
    settlePendingEdit();
    checkCanModify();
    doBeforeEdit();
    updateCursorPosition();
    prepareEdit();
    computeCalcFields(activeBuffer());
    setState(stateEdit);
    raiseDataEvent(evRecordChange);
    doAfterEdit();
}

void TDataSet::beginInsertOrAppend() {
    settlePendingEdit();
    checkCanModify();
    doBeforeInsert();
    doBeforeScroll();
}

void TDataSet::initNewBuffer(uint8_t* buffer) {
    clearRecordBuffer(buffer);
    clearCalcArea(buffer);
    setBookmarkFlagOf(buffer, bookmarkInserted);
}

void TDataSet::beginInsert() {
    beginInsertOrAppend();
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
    beginInsertOrAppend();
    clearWindow();
    uint8_t* buffer = bufferAt(0);
    initNewBuffer(buffer);
    setBookmarkFlagOf(buffer, bookmarkEOF);
    filledCount_ = 1;
    bof_ = false;
    fillBackward();
    endInsertOrAppend();
}

void TDataSet::endInsertOrAppend() {
    setState(stateInsert);
    try {
        doOnNewRecord();
    } catch (...) {
        updateCursorPosition();
        freeFieldBuffers();
        setState(stateBrowse);
        refillBuffers(false, false);
        throw;
    }
    modified_ = false;
    raiseDataEvent(evDatasetChange);
    doAfterInsert();
    doAfterScroll();
}

void TDataSet::postRecord() {
    collectControlEdits();
    if (state_ != stateEdit && state_ != stateInsert)
        return;
    raiseDataEvent(evCheckBrowseMode);
    checkRequiredFields();
    doBeforePost();
    updateCursorPosition();
    storeEditedRecord();
    freeFieldBuffers();
    setState(stateBrowse);
    refillBuffers(false, false);
    doAfterPost();
}

void TDataSet::cancelRecord() {
    if (state_ != stateEdit && state_ != stateInsert)
        return;
    raiseDataEvent(evCheckBrowseMode);
    doBeforeCancel();
    const bool scrolls = state_ == stateInsert;
    if (scrolls)
        doBeforeScroll();
    updateCursorPosition();
    discardEdits();
    freeFieldBuffers();
    setState(stateBrowse);
    refillBuffers(false, false);
    doAfterCancel();
    if (scrolls)
        doAfterScroll();
}

void TDataSet::deleteRecord() {
    checkActive();
    if (state_ == stateInsert || state_ == stateSetKey) {
        cancelRecord();
        return;
    }
    if (filledCount_ == 0)
        databaseError(dbconsts::kDataSetEmpty, this);
    raiseDataEvent(evCheckBrowseMode);
    doBeforeDelete();
    doBeforeScroll();
    updateCursorPosition();
    deleteCurrentRecord();
    freeFieldBuffers();
    setState(stateBrowse);
    refillBuffers(false, false);
    doAfterDelete();
    doAfterScroll();
}

void TDataSet::settlePendingEdit() {
    checkActive();
    raiseDataEvent(evCheckBrowseMode);
    switch (state_) {
    case stateEdit:
    case stateInsert:
        collectControlEdits();
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

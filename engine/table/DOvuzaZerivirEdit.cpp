#include "engine/table/DOvuzaZerivir.h"

#include "dataset/Abort.h"
#include "dataset/DateTimeFields.h"
#include "dataset/Field.h"
#include "dataset/IntegerFields.h"
#include "dataset/StringField.h"
#include "engine/record/UniqueCode.h"
#include "engine/table/ZerovDatasetConst.h"
#include "platform/Clock.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"

#include <cmath>
#include <cstring>

// Editing: the checks before delete, edit and insert, the defaults of a new record, writing
// field values, posting with the unique-key check, cancelling, deleting, and the count of
// unsaved changes with saving, discarding and accepting them.

namespace cibrano {

// --- Unsaved changes -----------------------------------------------------------------------

void DOvuzaZerivir::addChange() {
    ++changeCount_;
    registerModified();
    if (changeCount_ == 1 && OnNeedToSaveChange)
        OnNeedToSaveChange(this);
}

void DOvuzaZerivir::dropChange() {
    // Never below zero: a cancel after the changes were accepted or discarded must not make
    // the next change look like no change.
    if (changeCount_ <= 0)
        return;
    if (--changeCount_ > 0)
        return;
    forgetModified();
    if (OnNeedToSaveChange)
        OnNeedToSaveChange(this);
}

void DOvuzaZerivir::clearChanges() {
    changeCount_ = 0;
    forgetModified();
    if (OnNeedToSaveChange)
        OnNeedToSaveChange(this);
}

void DOvuzaZerivir::saveChanges() {
    const DatasetState s = State();
    if (s == stateEdit || s == stateInsert || s == stateSetKey)
        postRecord();
    saveStore();
}

void DOvuzaZerivir::discardChanges() {
    if (!Active() || changeCount_ <= 0)
        return;
    const DatasetState s = State();
    if (s == stateEdit || s == stateInsert || s == stateSetKey)
        cancelRecord();
    store_->revertAllChanges();
    changeCount_ = 0;
    rebuildView(true);
    clearChanges();
}

void DOvuzaZerivir::acceptChanges() {
    if (!Active() || changeCount_ <= 0)
        return;
    // A pending edit is settled before the commit, not after it: posted after, it would leave
    // a modified record behind with nothing counting it as unsaved.
    const DatasetState s = State();
    if (s == stateEdit || s == stateInsert || s == stateSetKey)
        settlePendingEdit();
    store_->commitAllChanges();
    changeCount_ = 0;
    rebuildView(true);
    clearChanges();
}

// --- Checks before the edit steps ---------------------------------------------------------

void DOvuzaZerivir::doBeforeDelete() {
    if (readOnly_)
        databaseError(dsmsg::ReadOnlyDelete, this);
    TDataSet::doBeforeDelete();
}

void DOvuzaZerivir::doBeforeEdit() {
    if (readOnly_)
        databaseError(dsmsg::ReadOnlyEdit, this);
    const DatasetState before = State();
    TDataSet::doBeforeEdit();
    // A handler that closed the dataset, started an edit or left no record has ended the
    // edit: nothing is counted and the framework stops.
    if (State() != before || hasNoRecords())
        return;
    // A record that is gone (deleted, or removed through a clone) cannot be edited; the edit
    // stops without a message.
    if (!store_ || !store_->beginRecordEdit(entryOf(activeBuffer())))
        abortSilently();
    countChangeOf(before);
}

void DOvuzaZerivir::countChangeOf(DatasetState before) {
    addChange();
    // An OnNeedToSaveChange handler that closed the dataset or started another edit has ended
    // this one before it began: the change goes back.
    if (State() != before)
        dropChange();
}

void DOvuzaZerivir::doBeforeInsert() {
    if (readOnly_)
        databaseError(dsmsg::ReadOnlyInsert, this);
    const DatasetState before = State();
    TDataSet::doBeforeInsert();
    if (State() != before)
        return;
    countChangeOf(before);
}

void DOvuzaZerivir::insertAbandoned() {
    dropChange();
}

void DOvuzaZerivir::doOnNewRecord() {
    try {
        applyNewRecordDefaults();
        if (masterRangeWanted())
            assignMasterValues();
        TDataSet::doOnNewRecord();
    } catch (...) {
        // The insert is abandoned (the framework goes back to browsing without cancelling),
        // so the change its start counted is taken back.
        dropChange();
        throw;
    }
}

void DOvuzaZerivir::applyNewRecordDefaults() {
    for (TField* f : Fields()) {
        if (f->FieldNo() <= 0 || f->DefaultExpression().empty())
            continue;
        const AnsiString& expression = f->DefaultExpression();
        if (expression == dsmsg::DefaultToday && dynamic_cast<TDateField*>(f))
            f->setDateTimeValue(std::floor(now()));
        else if (expression == dsmsg::DefaultNow && dynamic_cast<TDateTimeField*>(f))
            f->setDateTimeValue(now());
        else if (expression == dsmsg::DefaultUniqueCode && dynamic_cast<TStringField*>(f))
            f->setStringValue(makeUniqueCode());
        else
            f->setStringValue(expression);
    }
}

// --- Writing fields ---------------------------------------------------------------------

void DOvuzaZerivir::writeFieldValue(TField* field, const void* source) {
    const DatasetState s = State();
    uint8_t* target = nullptr;
    switch (s) {
    case stateEdit:
    case stateInsert:
    case stateNewValue:
        target = activeBuffer();
        break;
    case stateSetKey:
        target = keyBeingFilled_ ? keyBeingFilled_->image() : nullptr;
        break;
    case stateCalcFields:
        target = calculatedBuffer();
        break;
    case stateFilter:
        // A write here goes straight into the stored record, which gets a buffer of its own
        // first when it still lies in the store's pool.
        target = candidate_ && store_ ? store_->ownRecordData(candidate_) : nullptr;
        if (target)
            store_->valuesChanged();
        break;
    case stateInternalCalc:
        break;
    default:
        databaseError(dsmsg::NotEditing, this);
    }
    if (!target)
        return;
    const bool quiet = s == stateSetKey || s == stateCalcFields || s == stateFilter;
    const size_t size = static_cast<size_t>(std::max(field->dataSize(), 0));

    if (field->FieldNo() <= 0) {
        // A stored record or a key image has no calculated area to write into.
        if (s == stateSetKey || s == stateFilter)
            return;
        uint8_t* slot = target + recordImageSize() + field->offset();
        slot[0] = source != nullptr;
        if (source)
            std::memcpy(slot + 1, source, size);
        else
            std::memset(slot + 1, 0, size);
    } else {
        if (s == stateCalcFields)
            databaseError(dsmsg::CannotEditCalcFields, this);
        const bool keyOrFilter = s == stateSetKey || s == stateFilter;
        if (field->ReadOnly() && !keyOrFilter)
            databaseError(formatText(dsmsg::FieldReadOnly, field->displayName()), this);
        // Automatic numbers are the store's to hand out.
        if (dynamic_cast<TAutoIncField*>(field) && !keyOrFilter)
            return;
        field->validate(source);
        // An OnValidate handler that moved, posted, cancelled or closed has taken the record
        // this value was meant for away: the write stops there.
        if (State() != s)
            return;
        writeDataField(field, target, source);
    }
    if (!quiet)
        raiseDataEvent(evFieldChange, fieldEventInfo(field));
}

void DOvuzaZerivir::writeDataField(TField* field, uint8_t* buffer, const void* source) {
    const TZerovField* f = layoutField(field);
    if (!f)
        return;
    uint8_t* slot = slotOf(buffer, *f);
    const size_t size = static_cast<size_t>(std::max(field->dataSize(), 0));
    if (isBlobKind(f->storageKind))
        return; // BLOB values are written through BLOB streams
    if (f->storageKind == kindText) {
        releaseSlotValue(slot, *f);
        const char* text = static_cast<const char*>(source);
        const size_t length = text && size > 0 ? strnlen(text, size - 1) : 0;
        if (length > 0) {
            char* copy = new char[length + 1];
            std::memcpy(copy, text, length);
            copy[length] = 0;
            setTextRef(slot, copy);
        }
        return;
    }
    const size_t n = std::min(size, static_cast<size_t>(f->dataSize));
    std::memset(slot, 0, f->dataSize);
    if (source)
        std::memcpy(slot, source, n);
    // A fixed-length text always keeps its terminator, whatever the field's size.
    if (f->storageKind == kindFixedText && f->dataSize > 0)
        slot[f->dataSize - 1] = 0;
}

// --- Posting, cancelling, deleting --------------------------------------------------------

void DOvuzaZerivir::checkTextLengths(const uint8_t* buffer, const char* prefix) const {
    // The file keeps texts up to a fixed length and its reader refuses longer ones; such a
    // text is refused here, where the user can still shorten it, rather than at save time.
    for (const TZerovField& f : bufferLayout()) {
        if (f.storageKind != kindText)
            continue;
        const char* text = textRefAt(slotOf(buffer, f));
        const size_t length = text ? std::strlen(text) : 0;
        if (length > static_cast<size_t>(TZerovCursor::kMaxTextLength))
            databaseError(AnsiString(prefix) + formatText(dsmsg::TextTooLong, f.fieldName,
                                                          static_cast<int>(length),
                                                          TZerovCursor::kMaxTextLength),
                          this);
    }
}

void DOvuzaZerivir::postNewRecord(uint8_t* buffer) {
    checkTextLengths(buffer, msg::ErrorSavingNewRecord);
    if (checkKeyViolation_ && !uniqueFieldNames_.empty() &&
        store_->hasDuplicateKey(buffer, nullptr, uniqueFieldNames_))
        databaseError(AnsiString(msg::ErrorSavingNewRecord) + dsmsg::KeyViolation, this);
    AnsiString message;
    if (!store_->putRecord(buffer, nullptr, message))
        databaseError(AnsiString(msg::ErrorSavingNewRecord) + message, this);
    RecordEntry* entry = store_->recordAt(store_->entryCount() - 1);
    // The new record shows at the end whatever the order and the filter, until the next
    // rebuild of the view.
    view_.push_back(entry);
    setTrailer(buffer, entry, bookmarkCurrent, static_cast<int32_t>(view_.size()));
    viewPosition_ = static_cast<int>(view_.size()) - 1;
}

void DOvuzaZerivir::storeEditedRecord() {
    uint8_t* buffer = activeBuffer();
    if (!store_ || !buffer)
        databaseError(dsmsg::ClosedDataset, this);
    if (State() == stateEdit) {
        RecordEntry* entry = entryOf(buffer);
        checkTextLengths(buffer, msg::ErrorSavingRecord);
        if (checkKeyViolation_ && !uniqueFieldNames_.empty() &&
            store_->hasDuplicateKey(buffer, entry, uniqueFieldNames_))
            databaseError(AnsiString(msg::ErrorSavingRecord) + dsmsg::KeyViolation, this);
        AnsiString message;
        if (!store_->putRecord(buffer, entry, message))
            databaseError(AnsiString(msg::ErrorSavingRecord) + message, this);
    } else {
        postNewRecord(buffer);
    }
    viewSorted_ = false;
}

void DOvuzaZerivir::storeNewRecord(uint8_t* buffer, bool append) {
    if (!store_)
        databaseError(dsmsg::ClosedDataset, this);
    if (append)
        moveAfterLast();
    postNewRecord(buffer);
    viewSorted_ = false;
}

void DOvuzaZerivir::discardEdits() {
    // The pending values lived only in the active buffer; the stored record is as it was.
    dropChange();
}

void DOvuzaZerivir::deleteCurrentRecord() {
    if (!store_)
        databaseError(dsmsg::ClosedDataset, this);
    RecordEntry* entry = entryOf(activeBuffer());
    AnsiString message;
    if (!store_->markRecordDeleted(entry, message))
        databaseError(AnsiString(msg::ErrorDeletingRecord) + message, this);
    if (viewPosition_ >= 0 && viewPosition_ < static_cast<int>(view_.size()) &&
        view_[static_cast<size_t>(viewPosition_)] == entry) {
        view_.erase(view_.begin() + viewPosition_);
    } else if (int i = indexInView(entry); i >= 0) {
        view_.erase(view_.begin() + i);
        viewPosition_ = i;
    }
    addChange();
}

} // namespace cibrano

#include "engine/table/ZerovBlobStream.h"

#include "dataset/Field.h"
#include "engine/file/ZerovCursor.h"
#include "engine/record/RecordEntry.h"
#include "engine/table/DOvuzaZerivir.h"
#include "engine/table/ZerovDatasetConst.h"
#include "engine/table/ZerovTableConst.h"
#include "platform/DatabaseError.h"
#include "platform/Format.h"

#include <cstring>
#include <exception>
#include <string>

namespace cibrano {

TZerovBlobStream::TZerovBlobStream(TField* field, TBlobStreamMode mode) : field_(field) {
    dataset_ = field ? dynamic_cast<DOvuzaZerivir*>(field->DataSet()) : nullptr;
    if (!dataset_)
        databaseError(formatText(tblmsg::NotBlobField, field ? field->displayName() : ""));
    fieldNo_ = field->FieldNo();

    if (const TZerovCursor* store = dataset_->store()) {
        // The slot is read as a reference and a length: only a BLOB slot inside the record
        // may be taken for one.
        const TZerovField* f = store->fieldAt(fieldNo_ - 1);
        if (!f || !isBlobKind(f->storageKind) ||
            f->slotOffset + kBlobSlotSize > store->recordBufferSize())
            databaseError(formatText(tblmsg::NotBlobField, field->displayName()), dataset_);
        slotOffset_ = f->slotOffset;
    }

    const uint8_t* buffer = recordBuffer();
    if (!buffer)
        return; // no record: an empty, unmodified stream

    if (mode == bmWrite || mode == bmReadWrite) {
        if (field->ReadOnly())
            databaseError(formatText(dsmsg::FieldReadOnly, field->displayName()), dataset_);
        const DatasetState state = dataset_->State();
        if (state != stateEdit && state != stateInsert)
            databaseError(dsmsg::NotEditing, dataset_);
    }

    if (mode == bmWrite) {
        clear();
        modified_ = true;
        return;
    }
    const uint8_t* slot = buffer + slotOffset_;
    const uint8_t* bytes = blobRefAt(slot);
    const int32_t length = blobLengthAt(slot);
    if (bytes && length > 0) {
        setSize(static_cast<size_t>(length));
        std::memcpy(memory(), bytes, static_cast<size_t>(length));
    }
    setPosition(0);
}

TZerovBlobStream::~TZerovBlobStream() {
    if (!modified_)
        return;
    try {
        storeBack();
    } catch (const std::exception& e) {
        dataset_->handleEngineException(e);
    }
}

size_t TZerovBlobStream::write(const void* buffer, size_t count) {
    const size_t written = TMemoryStream::write(buffer, count);
    modified_ = true;
    return written;
}

uint8_t* TZerovBlobStream::recordBuffer() const {
    if (!dataset_->Active() || !dataset_->store() || slotOffset_ < 0)
        return nullptr;
    switch (dataset_->State()) {
    case stateCalcFields:
        return dataset_->calcBuffer();
    case stateFilter: {
        RecordEntry* candidate = dataset_->candidateRecord();
        return candidate ? candidate->data : nullptr;
    }
    default:
        return dataset_->hasNoRecords() ? nullptr : dataset_->activeBuffer();
    }
}

void TZerovBlobStream::storeBack() {
    // The record may have been posted or cancelled since the stream was opened (or there was
    // none): the bytes then have no record to go to.
    const DatasetState state = dataset_->Active() ? dataset_->State() : stateInactive;
    uint8_t* buffer = recordBuffer();
    if ((state != stateEdit && state != stateInsert) || !buffer)
        databaseError(dsmsg::NotEditing, dataset_);
    if (size() > static_cast<size_t>(TZerovCursor::kMaxBlobLength))
        databaseError(formatText(tblmsg::BlobTooLong, field_->displayName(), std::to_string(size()),
                                 TZerovCursor::kMaxBlobLength),
                      dataset_);

    // The new block is made before the old one goes, so that running out of memory leaves
    // the field as it was.
    uint8_t* block = nullptr;
    if (size() > 0) {
        block = new uint8_t[size()];
        std::memcpy(block, memory(), size());
    }
    uint8_t* slot = buffer + slotOffset_;
    delete[] blobRefAt(slot);
    setBlobRef(slot, block, static_cast<int32_t>(size()));
    dataset_->raiseDataEvent(evFieldChange, fieldEventInfo(field_));
}

} // namespace cibrano

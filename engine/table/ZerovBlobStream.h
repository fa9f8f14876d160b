#pragma once
// TZerovBlobStream: the stream a table dataset hands out for a BLOB field's whole value
// (ftBlob, ftMemo, ftFmtMemo, ftGraphic). It holds a copy of the value from the record buffer
// the field currently reads, and when it was written to (or opened for writing) it puts its
// bytes back into that buffer as it goes, with a field-change notification. Storing back
// never raises: a failure there is shown by the application's error reporter.
//
// Modes: bmRead and bmReadWrite start with the field's bytes, bmWrite starts empty and
// replaces the value even when nothing is written. Writing modes need the dataset in edit or
// insert state and the field not read-only, except on a dataset without records, where the
// stream simply starts empty.

#include "dataset/DataSetTypes.h"
#include "platform/Stream.h"

#include <cstdint>

namespace cibrano {

class DOvuzaZerivir;
class TField;

class TZerovBlobStream : public TMemoryStream {
public:
    TZerovBlobStream(TField* field, TBlobStreamMode mode);
    ~TZerovBlobStream() override;
    TZerovBlobStream(const TZerovBlobStream&) = delete;
    TZerovBlobStream& operator=(const TZerovBlobStream&) = delete;

    size_t write(const void* buffer, size_t count) override;

    TField* field() const { return field_; }
    DOvuzaZerivir* dataset() const { return dataset_; }
    int fieldNo() const { return fieldNo_; }
    // Whether the bytes go back into the record when the stream is destroyed.
    bool modified() const { return modified_; }

private:
    // The record buffer the field's value lives in, in the dataset's state; none when the
    // dataset is closed or shows no record.
    uint8_t* recordBuffer() const;
    void storeBack();

    TField* field_;
    DOvuzaZerivir* dataset_ = nullptr;
    int fieldNo_ = 0;
    // Where the field's reference and length sit in a record buffer; -1 when not known.
    int slotOffset_ = -1;
    bool modified_ = false;
};

} // namespace cibrano
